#include "SimMixerUnit.h"

#include <cctype>
#include <cstdio>
#include <utility>

namespace {

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string hex(unsigned value, int width) {
    char text[16];
    std::snprintf(text, sizeof(text), "%0*X", width, value);
    return text;
}

// Saturates rather than overflows: a garbled command must not stop the unit.
unsigned long hexValue(const std::string& digits) {
    unsigned long value = 0;
    for (const char c : digits) {
        const unsigned long digit = std::isdigit(static_cast<unsigned char>(c))
                                        ? static_cast<unsigned long>(c - '0')
                                        : static_cast<unsigned long>(std::toupper(c) - 'A' + 10);
        value = value > 0xFFFFFFFUL ? 0xFFFFFFFFUL : value * 16 + digit;
    }
    return value;
}

}  // namespace

std::string SimMixerUnit::quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '"':
            case '\\':
                out += '\\';
                out += c;
                break;
            default:
                if (std::isprint(static_cast<unsigned char>(c))) {
                    out += c;
                } else {
                    out += "\\x" + hex(static_cast<unsigned char>(c), 2);
                }
        }
    }
    return out + "\"";
}

SimMixerUnit::SimMixerUnit(std::string identification, uint16_t position)
    : identification_(std::move(identification)), position_(position) {}

void SimMixerUnit::portOpened() {
    identifying_ = !identification_.empty();
    digits_.clear();
    carriageReturn_ = false;
    lines_.push_back("open");
}

void SimMixerUnit::portClosed() {
    identifying_ = false;
    lines_.push_back("closed");
}

std::string SimMixerUnit::receive(std::string_view bytes) {
    std::string answer;
    for (const char c : bytes) {
        inUse_ = true;
        identifying_ = false;
        if (carriageReturn_) {
            carriageReturn_ = false;
            if (c == '\n') {
                command("\r\n", "close");
                continue;
            }
            command("\r", "unknown");
        }
        if (isHexDigit(c)) {
            digits_ += c;
            continue;
        }
        switch (c) {
            case '!':
            case '*': {
                const std::string text = digits_ + c;
                const unsigned long value = hexValue(digits_);
                digits_.clear();
                command(text,
                        std::string(c == '!' ? "mode " : "backlight ") + std::to_string(value));
                break;
            }
            case '%': {
                const std::string text = digits_ + c;
                digits_.clear();
                command(text);
                break;
            }
            case '$':
                flushDigits();
                command("$");
                answer += positionReport();
                break;
            case ')':
                flushDigits();
                command(")");
                break;
            case '\r':
                flushDigits();
                carriageReturn_ = true;
                break;
            default:
                flushDigits();
                command(std::string(1, c), "unknown");
        }
    }
    return answer;
}

std::string SimMixerUnit::turn(int counts) {
    std::string reports;
    const int direction = counts < 0 ? -1 : 1;
    for (int i = 0; i != counts; i += direction) {
        position_ = static_cast<uint16_t>(position_ + direction);
        reports += positionReport();
    }
    return reports;
}

std::string SimMixerUnit::press(int mode) {
    // The buttons set their own bit (1, 2, 4); the backlight mode is no button.
    const unsigned buttons = mode == 6 ? 0 : static_cast<unsigned>(mode);
    return "%" + hex(buttons, 1) + hex(static_cast<unsigned>(mode), 1) + "\r\n";
}

std::vector<std::string> SimMixerUnit::takeLines() {
    return std::exchange(lines_, {});
}

std::string SimMixerUnit::positionReport() const {
    return "$" + hex(position_, 4) + "\r\n";
}

void SimMixerUnit::command(std::string_view text, std::string_view meaning) {
    std::string line = "received " + quoted(text);
    if (!meaning.empty()) {
        line += ' ';
        line += meaning;
    }
    lines_.push_back(std::move(line));
}

void SimMixerUnit::flushDigits() {
    if (!digits_.empty()) {
        command(digits_, "unknown");
        digits_.clear();
    }
}
