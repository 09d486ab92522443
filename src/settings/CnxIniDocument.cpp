#include "settings/CnxIniDocument.h"

#include <algorithm>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string Folded(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return folded;
}

bool IsHeader(std::string_view trimmed) {
    return !trimmed.empty() && trimmed.front() == '[';
}

// The name between the brackets; a header missing its closing bracket names the rest of the line.
std::string_view HeaderName(std::string_view trimmed) {
    const std::string_view inside = trimmed.substr(1);
    return CnxIniDocument::Trim(inside.substr(0, inside.find(']')));
}

// What follows the equals sign; a NUL ends it as it would end a C string.
std::string ValueOf(std::string_view text) {
    return std::string(CnxIniDocument::Trim(text.substr(0, text.find('\0'))));
}

}  // namespace

std::string_view CnxIniDocument::Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

CnxIniDocument::CnxIniDocument(std::string_view text) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view lineText = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        const std::string_view trimmed = Trim(lineText);
        if (IsHeader(trimmed)) {
            sections_.push_back(Section{Folded(HeaderName(trimmed)), true, {}});
        }
        sections_.back().lines.push_back(ParseLine(lineText, sections_.back().hasHeader));
    }
}

CnxIniDocument::Line CnxIniDocument::ParseLine(std::string_view text, bool inSection) {
    Line line{std::string(text), {}, {}, false};
    const std::string_view trimmed = Trim(text);
    if (!inSection || trimmed.empty() || trimmed.front() == ';' || IsHeader(trimmed)) {
        return line;
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    const std::string_view key = Trim(trimmed.substr(0, equals));
    if (key.empty()) {
        return line;
    }
    line.key = Folded(key);
    line.value = ValueOf(trimmed.substr(equals + 1));
    line.isKey = true;
    return line;
}

CnxIniDocument::Line CnxIniDocument::KeyLine(std::string_view key, std::string_view value) {
    std::string text(key);
    text += '=';
    text += value;
    return Line{std::move(text), Folded(key), ValueOf(value), true};
}

std::string CnxIniDocument::ToText() const {
    std::string text;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            text += line.text;
            text += '\n';
        }
    }
    return text;
}

size_t CnxIniDocument::FindSection(std::string_view name) const {
    const std::string folded = Folded(name);
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
        return s.hasHeader && s.name == folded;
    });
    return found == sections_.end() ? kNoSection : static_cast<size_t>(found - sections_.begin());
}

std::optional<std::string_view> CnxIniDocument::Find(std::string_view section,
                                                     std::string_view key) const {
    const size_t index = FindSection(section);
    if (index == kNoSection) {
        return std::nullopt;
    }
    const std::string folded = Folded(key);
    for (const Line& line : sections_[index].lines) {
        if (line.isKey && line.key == folded) {
            return line.value;
        }
    }
    return std::nullopt;
}

CnxIniDocument::Section& CnxIniDocument::SectionForWriting(std::string_view name) {
    if (const size_t index = FindSection(name); index != kNoSection) {
        return sections_[index];
    }
    std::string header = "[";
    header += name;
    header += ']';
    sections_.push_back(Section{Folded(name), true, {Line{std::move(header), {}, {}, false}}});
    return sections_.back();
}

void CnxIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::vector<Line>& lines = SectionForWriting(section).lines;
    const std::string folded = Folded(key);
    for (Line& line : lines) {
        if (line.isKey && line.key == folded) {
            line = KeyLine(key, value);
            return;
        }
    }
    // New keys go before the blank lines that separate this section from the next one.
    const auto lastFilled = std::find_if(lines.rbegin(), lines.rend(),
                                         [](const Line& line) { return !Trim(line.text).empty(); });
    lines.insert(lastFilled.base(), KeyLine(key, value));
}

std::vector<std::string> CnxIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            names.emplace_back(HeaderName(Trim(section.lines.front().text)));
        }
    }
    return names;
}

bool CnxIniDocument::RemoveSection(std::string_view name) {
    const size_t index = FindSection(name);
    if (index == kNoSection) {
        return false;
    }
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void CnxIniDocument::EndWithBlankLine() {
    // Only the part before the first header can be without lines, and then the text is empty.
    std::vector<Line>& last = sections_.back().lines;
    if (!last.empty() && Trim(last.back().text).empty()) {
        return;
    }
    last.push_back(Line{});
}
