#include "SimCalTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

constexpr std::string_view kMagic = "K740CAL";
constexpr std::string_view kVersion = "1";

// A carriage return is a blank wherever it stands, so a line ending in one, or with one before
// a trailing tab, reads the same as the line without it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The items of a line; no line of the format has more than two, so a third only marks "too many".
struct Tokens {
    std::array<std::string_view, 3> items;
    size_t count = 0;

    explicit Tokens(std::string_view line) {
        size_t i = 0;
        while (i < line.size() && count < items.size()) {
            while (i < line.size() && IsBlank(line[i])) {
                ++i;
            }
            const size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) {
                ++i;
            }
            if (i > start) {
                items[count++] = line.substr(start, i - start);
            }
        }
    }
    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    std::string_view operator[](size_t index) const { return items[index]; }
    std::string_view front() const { return items[0]; }
};

std::optional<int64_t> ParseInteger(std::string_view token, int64_t low, int64_t high) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// A level such as "-131.2" or "-45.07": at most two decimals, read exactly as hundredths.
std::optional<int32_t> ParseCentiDbm(std::string_view token) {
    const bool negative = !token.empty() && token.front() == '-';
    if (negative) {
        token.remove_prefix(1);
    }
    const size_t dot = token.find('.');
    const std::string_view whole = token.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : token.substr(dot + 1);
    const auto allDigits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 4 || !allDigits(whole) || fraction.size() > 2 ||
        !allDigits(fraction) || (dot != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    int32_t value = 0;
    for (char c : whole) {
        value = value * 10 + (c - '0');
    }
    for (size_t i = 0; i < 2; ++i) {
        value = value * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    value = negative ? -value : value;
    if (value < SimCalTable::kMinCentiDbm || value > SimCalTable::kMaxCentiDbm) {
        return std::nullopt;
    }
    return value;
}

std::string FormatCentiDbm(int32_t centi) {
    char text[24];
    const int32_t magnitude = centi < 0 ? -centi : centi;
    std::snprintf(text, sizeof text, "%s%d.%02d", centi < 0 ? "-" : "", int(magnitude / 100),
                  int(magnitude % 100));
    return text;
}

// Reads a file's significant lines in order; each step either accepts the line or names the fault.
class Parser {
public:
    std::optional<SimCalTable> Run(std::string_view text, std::string& error) {
        if (text.size() > SimCalTable::kMaxFileBytes) {
            error = "file larger than 1 MiB";
            return std::nullopt;
        }
        size_t lineNumber = 0;
        while (!text.empty()) {
            const size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            ++lineNumber;
            if (!Accept(line)) {
                error = "line " + std::to_string(lineNumber) + ": " + fault_;
                return std::nullopt;
            }
        }
        if (state_ != State::kEnded) {
            error = "truncated: no \"end\" line";
            return std::nullopt;
        }
        return std::move(table_);
    }

private:
    // kModeOpen waits for the mode's first frequency point, kFrequencyOpen for a point's first
    // level.
    enum class State { kHeader, kModel, kFirstMode, kModeOpen, kFrequencyOpen, kPoints, kEnded };

    bool Fail(const char* fault) {
        fault_ = fault;
        return false;
    }

    bool Accept(std::string_view line) {
        if (line.size() > SimCalTable::kMaxLineLength) {
            return Fail("line too long");
        }
        const Tokens tokens(line);
        if (tokens.empty() || tokens.front().front() == '#') {
            return true;
        }
        switch (state_) {
            case State::kHeader:
                return AcceptHeader(tokens);
            case State::kModel:
                return AcceptModel(tokens);
            case State::kFirstMode:
            case State::kModeOpen:
            case State::kFrequencyOpen:
            case State::kPoints:
                return AcceptBody(tokens);
            case State::kEnded:
                return Fail("text after \"end\"");
        }
        return false;
    }

    bool AcceptHeader(const Tokens& tokens) {
        if (tokens.size() != 2 || tokens[0] != kMagic || tokens[1] != kVersion) {
            return Fail("not a K740CAL 1 calibration file");
        }
        state_ = State::kModel;
        return true;
    }

    bool AcceptModel(const Tokens& tokens) {
        if (tokens.size() != 2 || tokens[0] != "model" ||
            tokens[1].size() > SimCalTable::kMaxModelLength) {
            return Fail("expected \"model <name>\"");
        }
        table_ = SimCalTable(std::string(tokens[1]));
        state_ = State::kFirstMode;
        return true;
    }

    bool AcceptBody(const Tokens& tokens) {
        const std::string_view keyword = tokens[0];
        const bool isKeyword = keyword == "mode" || keyword == "frequency" || keyword == "end";
        if (!isKeyword) {
            if (state_ != State::kFrequencyOpen && state_ != State::kPoints) {
                return Fail("level outside a frequency point");
            }
            return AcceptPoint(tokens);
        }
        if (state_ == State::kFrequencyOpen) {
            return Fail("frequency point without levels");
        }
        if (state_ == State::kFirstMode && keyword != "mode") {
            return Fail("expected \"mode <n>\"");
        }
        if (state_ == State::kModeOpen && keyword != "frequency") {
            return Fail("mode without frequency points");
        }
        if (keyword == "mode") {
            return AcceptMode(tokens);
        }
        if (keyword == "frequency") {
            return AcceptFrequency(tokens);
        }
        if (tokens.size() != 1) {
            return Fail("expected \"end\"");
        }
        state_ = State::kEnded;
        return true;
    }

    bool AcceptMode(const Tokens& tokens) {
        const auto mode =
            tokens.size() == 2 ? ParseInteger(tokens[1], 0, SimCalTable::kMaxMode) : std::nullopt;
        if (!mode) {
            return Fail("bad mode number");
        }
        const auto& modes = table_->Modes();
        if (!modes.empty() && modes.back().mode >= *mode) {
            return Fail("modes out of order");
        }
        if (modes.size() == SimCalTable::kMaxModes) {
            return Fail("too many modes");
        }
        mode_ = int32_t(*mode);
        state_ = State::kModeOpen;
        hertz_.reset();
        return true;
    }

    bool AcceptFrequency(const Tokens& tokens) {
        const auto hertz =
            tokens.size() == 2 ? ParseInteger(tokens[1], 1, INT32_MAX) : std::nullopt;
        if (!hertz) {
            return Fail("bad frequency");
        }
        if (hertz_ && *hertz_ >= *hertz) {
            return Fail("frequency points out of order");
        }
        const size_t count = hertz_ ? table_->Modes().back().frequencies.size() : 0;
        if (count == SimCalTable::kMaxFrequencies) {
            return Fail("too many frequency points");
        }
        hertz_ = int32_t(*hertz);
        state_ = State::kFrequencyOpen;
        raw_.reset();
        return true;
    }

    bool AcceptPoint(const Tokens& tokens) {
        const auto raw =
            tokens.size() == 2 ? ParseInteger(tokens[0], 0, SimCalTable::kMaxRaw) : std::nullopt;
        const auto centi = tokens.size() == 2 ? ParseCentiDbm(tokens[1]) : std::nullopt;
        if (!raw || !centi) {
            return Fail("expected \"<raw 0..255> <dBm>\"");
        }
        if (raw_ && (*raw_ >= *raw || *centiDbm_ >= *centi)) {
            return Fail("curve does not rise");
        }
        // The previous point of the curve is strictly below, so adding cannot be refused.
        table_->Put(mode_, *hertz_, int32_t(*raw), *centi, true);
        raw_ = int32_t(*raw);
        centiDbm_ = *centi;
        state_ = State::kPoints;
        return true;
    }

    State state_ = State::kHeader;
    std::string fault_;
    std::optional<SimCalTable> table_;
    int32_t mode_ = 0;
    std::optional<int32_t> hertz_;
    std::optional<int32_t> raw_;
    std::optional<int32_t> centiDbm_;
};

template <typename List, typename Key, typename Field>
auto FindIn(List& list, Key key, Field field) {
    const auto it = std::lower_bound(list.begin(), list.end(), key,
                                     [field](const auto& item, Key k) { return item.*field < k; });
    return it != list.end() && (*it).*field == key ? &*it : nullptr;
}

// Linear interpolation across a rising list: `position` of each item, `value` at each item.
template <typename List, typename Position, typename Value>
double Interpolate(const List& list, int64_t at, Position position, Value value) {
    if (at <= position(list.front())) {
        return value(list.front());
    }
    if (at >= position(list.back())) {
        return value(list.back());
    }
    const auto upper = std::upper_bound(list.begin(), list.end(), at,
                                        [&](int64_t a, const auto& b) { return a < position(b); });
    const auto lower = upper - 1;
    const double share =
        double(at - position(*lower)) / double(position(*upper) - position(*lower));
    return value(*lower) + share * (value(*upper) - value(*lower));
}

}  // namespace

std::optional<SimCalTable> SimCalTable::Parse(std::string_view text, std::string* error) {
    std::string reason;
    std::optional<SimCalTable> table = Parser().Run(text, reason);
    if (error != nullptr) {
        *error = reason;
    }
    return table;
}

std::string SimCalTable::Write() const {
    std::string text =
        "# K740RX S-meter calibration. Per mode, frequency points in hertz, each with\n"
        "# raw strength values (0..255) and their levels in dBm, both rising.\n";
    text += std::string(kMagic) + " " + std::string(kVersion) + "\nmodel " + model_ + "\n";
    for (const Mode& mode : modes_) {
        text += "mode " + std::to_string(mode.mode) + "\n";
        for (const FrequencyPoint& frequency : mode.frequencies) {
            text += "frequency " + std::to_string(frequency.hertz) + "\n";
            for (const Point& point : frequency.curve) {
                text += std::to_string(point.raw) + " " + FormatCentiDbm(point.centiDbm) + "\n";
            }
        }
    }
    return text + "end\n";
}

const SimCalTable::Mode* SimCalTable::FindMode(int32_t mode) const {
    return FindIn(modes_, mode, &Mode::mode);
}

SimCalTable::Mode* SimCalTable::FindMode(int32_t mode) {
    return FindIn(modes_, mode, &Mode::mode);
}

SimCalTable::FrequencyPoint* SimCalTable::FindFrequency(Mode& mode, int32_t hertz) {
    return FindIn(mode.frequencies, hertz, &FrequencyPoint::hertz);
}

std::optional<double> SimCalTable::Level(int32_t mode, int64_t hertz, int32_t raw) const {
    const Mode* found = FindMode(mode);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto curveLevel = [raw](const FrequencyPoint& frequency) {
        return Interpolate(
            frequency.curve, raw, [](const Point& p) { return int64_t{p.raw}; },
            [](const Point& p) { return p.centiDbm / 100.0; });
    };
    return Interpolate(
        found->frequencies, hertz, [](const FrequencyPoint& f) { return int64_t{f.hertz}; },
        curveLevel);
}

SimCalTable::Edit SimCalTable::Put(int32_t mode, int32_t hertz, int32_t raw, int32_t centiDbm,
                                   bool create) {
    if (mode < 0 || mode > kMaxMode || hertz <= 0 || raw < 0 || raw > kMaxRaw ||
        centiDbm < kMinCentiDbm || centiDbm > kMaxCentiDbm) {
        return Edit::kBadArgument;
    }
    Mode* foundMode = FindMode(mode);
    FrequencyPoint* foundFrequency = foundMode ? FindFrequency(*foundMode, hertz) : nullptr;
    if (foundFrequency == nullptr) {
        if (!create) {
            return Edit::kNotFound;
        }
        if ((foundMode == nullptr && modes_.size() == kMaxModes) ||
            (foundMode != nullptr && foundMode->frequencies.size() == kMaxFrequencies)) {
            return Edit::kFull;
        }
        if (foundMode == nullptr) {
            const auto at = std::lower_bound(modes_.begin(), modes_.end(), mode,
                                             [](const Mode& m, int32_t k) { return m.mode < k; });
            foundMode = &*modes_.insert(at, Mode{mode, {}});
        }
        auto& list = foundMode->frequencies;
        const auto at =
            std::lower_bound(list.begin(), list.end(), hertz,
                             [](const FrequencyPoint& f, int32_t k) { return f.hertz < k; });
        list.insert(at, FrequencyPoint{hertz, {{raw, centiDbm}}});
        return Edit::kDone;
    }
    auto& curve = foundFrequency->curve;
    auto at = std::lower_bound(curve.begin(), curve.end(), raw,
                               [](const Point& p, int32_t k) { return p.raw < k; });
    const bool replaces = at != curve.end() && at->raw == raw;
    const auto next = replaces ? at + 1 : at;
    if ((at != curve.begin() && (at - 1)->centiDbm >= centiDbm) ||
        (next != curve.end() && next->centiDbm <= centiDbm)) {
        return Edit::kRefused;
    }
    if (replaces) {
        at->centiDbm = centiDbm;
    } else {
        curve.insert(at, Point{raw, centiDbm});
    }
    return Edit::kDone;
}

SimCalTable::Edit SimCalTable::RemoveMode(int32_t mode) {
    const Mode* found = FindMode(mode);
    if (found == nullptr) {
        return Edit::kNotFound;
    }
    modes_.erase(modes_.begin() + (found - modes_.data()));
    return Edit::kDone;
}

SimCalTable::Edit SimCalTable::RemoveFrequency(int32_t mode, int32_t hertz) {
    Mode* foundMode = FindMode(mode);
    FrequencyPoint* found = foundMode ? FindFrequency(*foundMode, hertz) : nullptr;
    if (found == nullptr) {
        return Edit::kNotFound;
    }
    auto& list = foundMode->frequencies;
    list.erase(list.begin() + (found - list.data()));
    if (list.empty()) {
        RemoveMode(mode);
    }
    return Edit::kDone;
}

SimCalTable::Edit SimCalTable::RemovePoint(int32_t mode, int32_t hertz, int32_t raw) {
    Mode* foundMode = FindMode(mode);
    FrequencyPoint* frequency = foundMode ? FindFrequency(*foundMode, hertz) : nullptr;
    Point* point = frequency ? FindIn(frequency->curve, raw, &Point::raw) : nullptr;
    if (point == nullptr) {
        return Edit::kNotFound;
    }
    frequency->curve.erase(frequency->curve.begin() + (point - frequency->curve.data()));
    if (frequency->curve.empty()) {
        RemoveFrequency(mode, hertz);
    }
    return Edit::kDone;
}

bool SimCalTable::IsConsistent() const {
    const auto rising = [](const auto& list, auto key) {
        return std::adjacent_find(list.begin(), list.end(), [key](const auto& a, const auto& b) {
                   return key(a) >= key(b);
               }) == list.end();
    };
    if (model_.size() > kMaxModelLength || modes_.size() > kMaxModes ||
        !rising(modes_, [](const Mode& m) { return m.mode; })) {
        return false;
    }
    for (const Mode& mode : modes_) {
        if (mode.frequencies.empty() || mode.frequencies.size() > kMaxFrequencies ||
            !rising(mode.frequencies, [](const FrequencyPoint& f) { return f.hertz; })) {
            return false;
        }
        for (const FrequencyPoint& frequency : mode.frequencies) {
            if (frequency.curve.empty() ||
                !rising(frequency.curve, [](const Point& p) { return p.raw; }) ||
                !rising(frequency.curve, [](const Point& p) { return p.centiDbm; })) {
                return false;
            }
        }
    }
    return true;
}
