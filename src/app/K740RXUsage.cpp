#include "app/K740RXUsage.h"

#include <cstring>

namespace {

// An option or an environment variable with what it does.
struct Entry {
    const char* name;
    const char* effect;
};

// In the order of the manual page.
constexpr Entry kOptions[] = {
    {"-nsplash", "start without the start-up window"},
    {"-nspectrum", "no audio spectrum analysis"},
    {"-log", "each receiver writes a trace file of its measurements into the settings folder"},
    {"-settle1=N", "settle value of the first tuning step of a scan pass (15 when given alone)"},
    {"-settle2=N", "settle value of the following tuning steps (5 when given alone)"},
    {"-itime=MS", "how often the program checks that the receivers are ready (default 5000)"},
    {"-rigctl[=[ADDRESS:]PORT]",
     "remote-control servers for this run: receiver n on PORT + 2(n - 1) (default 4532), on "
     "127.0.0.1 unless ADDRESS is named"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

constexpr Entry kEnvironment[] = {
    {"QVK740RX_SIM", "the file describing the simulated radios"},
    {"K740RX_MIXER_PORTS", "the serial ports to look for the knob box on, separated by colons"},
    {"K740RX_AUDIO", "virtual: a virtual sound card instead of the sound server"},
    {"K740RX_AUDIO_OUTPUT", "with the virtual sound card, a WAV file of what it plays"},
};

constexpr int kNameColumn = 2;
constexpr int kEffectColumn = 28;
constexpr int kLineWidth = 79;

// The effect after the name, wrapped at word boundaries and indented under its first line.
void AppendEntry(std::string& text, const Entry& entry) {
    std::string line(kNameColumn, ' ');
    line += entry.name;
    if (line.size() + 1 > kEffectColumn) {
        text += line + '\n';
        line.clear();
    }
    line.resize(kEffectColumn, ' ');
    const char* word = entry.effect;
    bool lineHasWord = false;
    while (*word != '\0') {
        const std::size_t length = std::strcspn(word, " ");
        if (lineHasWord && line.size() + 1 + length > kLineWidth) {
            text += line + '\n';
            line.assign(kEffectColumn, ' ');
            lineHasWord = false;
        }
        if (lineHasWord) {
            line += ' ';
        }
        line.append(word, length);
        lineHasWord = true;
        word += length;
        word += std::strspn(word, " ");
    }
    text += line + '\n';
}

}  // namespace

K740RXInfoRequest FindInfoRequest(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            return K740RXInfoRequest::kHelp;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            return K740RXInfoRequest::kVersion;
        }
    }
    return K740RXInfoRequest::kNone;
}

std::string UsageText() {
    std::string text =
        "Usage: k740rx [OPTION]...\n"
        "Controls up to eight K740RX sonobuoy VHF receivers: tuning, channel scans,\n"
        "S-meter and audio. Without receivers it runs in demo mode with simulated ones.\n"
        "\n"
        "An option begins with - or /; a value follows = or :, as in -itime=2000 or\n"
        "/itime:2000. Names are not case-sensitive; unknown options are ignored.\n"
        "\n";
    for (const Entry& option : kOptions) {
        AppendEntry(text, option);
    }
    text += "\nEnvironment:\n";
    for (const Entry& variable : kEnvironment) {
        AppendEntry(text, variable);
    }
    text +=
        "\n"
        "Settings: ~/Documents/Quorvant/K740RX/K740RX.ini. More in k740rx(1) and in the\n"
        "manual (F1 in the main window).\n";
    return text;
}

std::string VersionText(const std::string& version) {
    return "k740rx " + version + "\n";
}
