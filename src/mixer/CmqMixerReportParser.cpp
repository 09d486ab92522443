#include "mixer/CmqMixerReportParser.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A digit position holding anything else counts as 0.
int DigitValue(char c) {
    if (!IsHexDigit(c)) {
        return 0;
    }
    if (c <= '9') {
        return c - '0';
    }
    return (c | 0x20) - 'a' + 10;  // either case
}

bool IsFiller(char c) {
    return c == '#' || c == '^' || c == '\r' || c == '\n' || IsHexDigit(c);
}

}  // namespace

void CmqMixerReportParser::Append(std::string_view bytes) {
    buffer_.erase(0, front_);
    front_ = 0;
    buffer_.append(bytes);
}

void CmqMixerReportParser::Clear() {
    buffer_.clear();
    front_ = 0;
}

bool CmqMixerReportParser::Next(SmqMixerReport& report) {
    while (front_ < buffer_.size()) {
        const std::string_view rest = std::string_view(buffer_).substr(front_);
        const char first = rest.front();
        if (first == '%') {
            if (rest.size() < kButtonsLength) {
                return false;
            }
            report = SmqMixerReport{};
            report.kind = SmqMixerReport::Kind::Buttons;
            report.buttons = DigitValue(rest[1]);
            report.mode = DigitValue(rest[2]);
            front_ += kButtonsLength;
            return true;
        }
        if (first == '$') {
            if (rest.size() < kPositionLength) {
                return false;
            }
            unsigned value = 0;
            for (std::size_t i = 1; i <= 4; ++i) {
                value = value * 16 + static_cast<unsigned>(DigitValue(rest[i]));
            }
            report = SmqMixerReport{};
            report.kind = SmqMixerReport::Kind::Position;
            report.position = static_cast<int16_t>(static_cast<uint16_t>(value));
            front_ += kPositionLength;
            return true;
        }
        ++front_;
        if (!IsFiller(first)) {
            report = SmqMixerReport{};
            report.character = first;
            return true;
        }
    }
    Clear();
    return false;
}
