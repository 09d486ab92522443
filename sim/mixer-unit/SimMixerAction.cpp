#include "SimMixerAction.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int> number(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case 'r':
                bytes += '\r';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 't':
                bytes += '\t';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'x': {
                unsigned value = 0;
                const char* first = text.data() + i + 1;
                const char* last = text.data() + std::min(text.size(), i + 3);
                const auto [end, problem] = std::from_chars(first, last, value, 16);
                if (problem != std::errc() || end != last || last - first != 2) {
                    return std::nullopt;
                }
                bytes += static_cast<char>(value);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace

std::optional<SimMixerAction> SimMixerAction::parse(std::string_view line, std::string& error) {
    error.clear();
    line = trimmed(line);
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    const size_t space = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view() : trimmed(line.substr(space));
    SimMixerAction action;
    if (word == "quit" && rest.empty()) {
        action.kind = Kind::Quit;
        return action;
    }
    if (word == "send") {
        // Only the separating blank goes: the text may start with blanks of its own.
        const std::optional<std::string> bytes =
            unescaped(space == std::string_view::npos ? "" : line.substr(space + 1));
        if (bytes && !bytes->empty()) {
            action.kind = Kind::Send;
            action.bytes = *bytes;
            return action;
        }
    } else if (const std::optional<int> value = number(rest)) {
        action.value = *value;
        if (word == "turn") {
            action.kind = Kind::Turn;
            return action;
        }
        if (word == "press" && (*value == 1 || *value == 2 || *value == 4 || *value == 6)) {
            action.kind = Kind::Press;
            return action;
        }
        if (word == "wait" && *value >= 0) {
            action.kind = Kind::Wait;
            return action;
        }
    }
    error = "cannot read action: " + std::string(line);
    return std::nullopt;
}
