#include "SimSetup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace {

constexpr size_t kMaxNameLength = 8;  // the list entry holds 8 characters and a NUL
constexpr std::string_view kRadioPrefix = "radio";
constexpr std::string_view kSignalsSection = "signals";
constexpr std::string_view kScheduleSection = "schedule";

std::string_view trim(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string_view withoutComment(std::string_view line) {
    return line.substr(0, line.find_first_of(";#"));
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> parseFlag(std::string_view text) {
    if (text == "0" || text == "1") {
        return text == "1";
    }
    return std::nullopt;
}

// Where the lines being read belong.
struct Section {
    enum Kind { None, Radio, Signals, Schedule, Other } kind = None;
    int radioNumber = 0;
};

class Parser {
public:
    std::optional<SimSetup> run(std::string_view text, std::string& error) {
        int lineNumber = 0;
        while (!text.empty()) {
            const size_t end = text.find('\n');
            const std::string_view line = trim(withoutComment(text.substr(0, end)));
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            ++lineNumber;
            if (!line.empty() && !parseLine(line)) {
                error = "line " + std::to_string(lineNumber) + ": " + problem_;
                return std::nullopt;
            }
        }
        return finish(error);
    }

private:
    bool fail(std::string problem) {
        problem_ = std::move(problem);
        return false;
    }

    bool parseLine(std::string_view line) {
        if (line.front() == '[') {
            return line.back() == ']' ? openSection(trim(line.substr(1, line.size() - 2)))
                                      : fail("unclosed section name");
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return fail("expected key = value");
        }
        const std::string_view key = trim(line.substr(0, equals));
        const std::string_view value = trim(line.substr(equals + 1));
        switch (section_.kind) {
            case Section::Radio:
                return radioKey(radios_[section_.radioNumber], lowerCase(key), value);
            case Section::Signals:
                return signal(key, value);
            case Section::Schedule:
                return scheduled(key, value);
            case Section::Other:
                return true;  // sections of no concern to the radios are left alone
            case Section::None:
                break;
        }
        return fail("key outside any section");
    }

    bool openSection(std::string_view name) {
        const std::string lower = lowerCase(name);
        section_ = Section{};
        if (lower == kSignalsSection) {
            section_.kind = Section::Signals;
            return true;
        }
        if (lower == kScheduleSection) {
            section_.kind = Section::Schedule;
            return true;
        }
        if (!lower.starts_with(kRadioPrefix)) {
            section_.kind = Section::Other;
            return true;
        }
        const auto number = parseNumber<int>(std::string_view(lower).substr(kRadioPrefix.size()));
        if (!number || *number < 0) {
            return fail("bad radio section [" + std::string(name) + "]");
        }
        if (!radios_.try_emplace(*number).second) {
            return fail("radio section [" + std::string(name) + "] appears twice");
        }
        section_ = Section{Section::Radio, *number};
        return true;
    }

    bool radioKey(SimRadio& radio, const std::string& key, std::string_view value) {
        if (key == "serial" || key == "product") {
            if (value.empty() || value.size() > kMaxNameLength) {
                return fail(key + " must have 1 to 8 characters");
            }
            (key == "serial" ? radio.serial : radio.product) = std::string(value);
            return true;
        }
        if (key == "extended" || key == "connected") {
            const auto flag = parseFlag(value);
            if (!flag) {
                return fail(key + " must be 0 or 1");
            }
            (key == "extended" ? radio.extended : radio.connected) = *flag;
            return true;
        }
        if (key == "firmware" || key == "hardware") {
            const auto number = parseNumber<uint32_t>(value);
            if (!number) {
                return fail(key + " must be an unsigned number");
            }
            (key == "firmware" ? radio.firmware : radio.hardware) = *number;
            return true;
        }
        return true;  // keys added later by other tools are ignored
    }

    std::optional<SimSignal> parseSignal(std::string_view key, std::string_view value) {
        const auto hertz = parseNumber<int32_t>(key);
        const auto level = parseNumber<double>(value);
        if (!hertz || *hertz <= 0) {
            fail("signal frequency must be a positive number of hertz");
            return std::nullopt;
        }
        if (!level || *level < -150.0 || *level > 20.0) {
            fail("signal level must be a number of dBm between -150 and 20");
            return std::nullopt;
        }
        return SimSignal{*hertz, *level};
    }

    bool signal(std::string_view key, std::string_view value) {
        const std::optional<SimSignal> parsed = parseSignal(key, value);
        if (parsed) {
            signals_.push_back(*parsed);
        }
        return parsed.has_value();
    }

    // "level, on, off" or "level, on, off, period".
    bool scheduled(std::string_view key, std::string_view value) {
        std::vector<std::string_view> fields;
        for (size_t start = 0;;) {
            const size_t comma = value.find(',', start);
            fields.push_back(trim(value.substr(start, comma - start)));
            if (comma == std::string_view::npos) {
                break;
            }
            start = comma + 1;
        }
        if (fields.size() != 3 && fields.size() != 4) {
            return fail("a schedule is: level, on, off[, period]");
        }
        std::optional<SimSignal> signal = parseSignal(key, fields[0]);
        if (!signal) {
            return false;
        }
        signal->steady = true;
        SimScheduledSignal entry{*signal};
        const auto on = parseNumber<double>(fields[1]);
        const auto off = parseNumber<double>(fields[2]);
        const auto period = fields.size() == 4 ? parseNumber<double>(fields[3]) : 0.0;
        if (!on || !off || !period || !std::isfinite(*on) || !std::isfinite(*off) || *on < 0.0 ||
            *off <= *on) {
            return fail("a schedule's times must be numbers with on >= 0 and off after on");
        }
        if (fields.size() == 4 && !(*period >= *off)) {
            return fail("a schedule's period must be at least its off time");
        }
        entry.on = *on;
        entry.off = *off;
        entry.period = *period;
        scheduled_.push_back(entry);
        return true;
    }

    std::optional<SimSetup> finish(std::string& error) {
        SimSetup setup;
        for (auto& [number, radio] : radios_) {
            if (radio.serial.empty()) {
                error = "[radio" + std::to_string(number) + "] has no serial";
                return std::nullopt;
            }
            if (radio.serial == "DEMO") {
                error = "the serial DEMO is reserved for the demo radio";
                return std::nullopt;
            }
            setup.radios.push_back(std::move(radio));
        }
        setup.signals = std::move(signals_);
        setup.scheduled = std::move(scheduled_);
        return setup;
    }

    Section section_;
    std::map<int, SimRadio> radios_;  // ordered by section number: the list order
    std::vector<SimSignal> signals_;
    std::vector<SimScheduledSignal> scheduled_;
    std::string problem_;
};

}  // namespace

bool SimScheduledSignal::isOn(double unixSeconds) const {
    const double t = period > 0.0 ? std::fmod(unixSeconds, period) : unixSeconds;
    return t >= on && t < off;
}

const SimRadio* SimSetup::findRadio(std::string_view serial) const {
    const auto found = std::find_if(radios.begin(), radios.end(),
                                    [&](const SimRadio& radio) { return radio.serial == serial; });
    return found == radios.end() ? nullptr : &*found;
}

std::vector<const SimRadio*> SimSetup::attachedRadios() const {
    std::vector<const SimRadio*> attached;
    for (const SimRadio& radio : radios) {
        if (radio.connected) {
            attached.push_back(&radio);
        }
    }
    return attached;
}

std::optional<SimSetup> SimSetup::parse(std::string_view text, std::string& error) {
    return Parser().run(text, error);
}
