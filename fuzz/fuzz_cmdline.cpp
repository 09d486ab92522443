// Feeds arbitrary bytes to the command-line parser as the program's command line, in both case
// modes, and checks that its answers agree with each other and with the option values read from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/CnxCmdLineParser.h"
#include "settings/CnxAppOptions.h"

namespace {

constexpr int kCheckedNames = 16;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckLookup(const CnxCmdLineParser& parser, const std::string& name) {
    std::string value = "unchanged";
    const bool found = parser.GetValue(name, value);
    Require(found == parser.HasKey(name));
    Require(parser.HasValue(name) == (found && !value.empty()));
    Require(found || value == "unchanged");
}

// Names that the text may hold: every run of bytes after a dash or slash up to a separator. Only
// the first few: each costs a walk over the rest of the text.
void CheckNamesInText(const CnxCmdLineParser& parser, const std::string& text) {
    int checked = 0;
    for (std::size_t start = text.find_first_of("-/");
         start != std::string::npos && checked < kCheckedNames;
         start = text.find_first_of("-/", start + 1), ++checked) {
        const std::size_t end = text.find_first_of(" :=", start + 1);
        CheckLookup(parser,
                    text.substr(start + 1, end == std::string::npos ? end : end - start - 1));
    }
}

void CheckAppOptions(const CnxCmdLineParser& parser) {
    ResetAppOptions();
    ReadAppOptions(parser);
    Require(g_optITime.present == parser.HasKey("ITIME"));
    Require(g_optSettle1.present || g_optSettle1.value == 15);
    Require(g_optSettle2.present || g_optSettle2.value == 5);
    Require(g_optITime.present || g_optITime.value == 5000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const bool caseSensitive : {false, true}) {
        CnxCmdLineParser parser(text, caseSensitive);
        for (const char* name :
             {"nspectrum", "nsplash", "log", "settle1", "settle2", "itime", "#", "", "NSPLASH"}) {
            CheckLookup(parser, name);
        }
        CheckNamesInText(parser, text);
        if (!caseSensitive) {
            CheckAppOptions(parser);
        }
        // Parsing again gives the same answers.
        const bool hadItime = parser.HasKey("itime");
        parser.Parse(text);
        Require(parser.HasKey("itime") == hadItime);
    }
    return 0;
}
