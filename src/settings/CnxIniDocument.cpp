#include "settings/CnxIniDocument.h"

#include <algorithm>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // UTF-8
constexpr std::string_view kCrLf = "\r\n";

char FoldedChar(char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

// Names compare without regard to (ASCII) case.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldedChar(a[i]) != FoldedChar(b[i])) {
            return false;
        }
    }
    return true;
}

// Whether a line already reads exactly key=value, so that writing it again can leave it alone.
bool ReadsAs(std::string_view text, std::string_view key, std::string_view value) {
    return text.size() == key.size() + 1 + value.size() && text.substr(0, key.size()) == key &&
           text[key.size()] == '=' && text.substr(key.size() + 1) == value;
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
std::string_view ValueOf(std::string_view text) {
    return CnxIniDocument::Trim(text.substr(0, text.find('\0')));
}

// Enough for the lines a save adds to a typical file.
constexpr size_t kStorageBlock = 1024;

}  // namespace

std::string_view CnxIniDocument::Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

CnxIniDocument::CnxIniDocument(std::string_view text) {
    // Editors on other systems start the file with a byte-order mark, which is no part of its
    // first line, and end lines with a carriage return, which a rewrite keeps doing.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    // A first line without its line feed decides too: the rewrite gives it one, and its carriage
    // return must read the same way then.
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    const bool crlf = !firstLine.empty() && firstLine.back() == '\r';
    if (crlf) {
        lineEnd_ = kCrLf;
    }
    text = Keep(text);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (crlf && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    // Each section's lines are counted first, so that each section takes one allocation.
    auto sectionEnd = [&](size_t from) {
        while (from < lines.size() && !IsHeader(Trim(lines[from]))) {
            ++from;
        }
        return from;
    };
    size_t next = sectionEnd(0);
    sections_.back().lines.reserve(next);
    for (size_t i = 0; i < next; ++i) {
        sections_.back().lines.push_back(ParseLine(lines[i], false));
    }
    while (next < lines.size()) {
        const size_t header = next;
        next = sectionEnd(header + 1);
        Section& section = sections_.emplace_back(
            Section{true, HeaderName(Trim(lines[header])), std::vector<Line>{}});
        section.lines.reserve(next - header);
        section.lines.push_back(PlainLine(lines[header]));
        for (size_t i = header + 1; i < next; ++i) {
            section.lines.push_back(ParseLine(lines[i], true));
        }
    }
}

char* CnxIniDocument::Reserve(size_t size) {
    if (size > freeSize_) {
        const size_t blockSize = std::max(size, kStorageBlock);
        storage_.push_back(std::make_unique<char[]>(blockSize));
        free_ = storage_.back().get();
        freeSize_ = blockSize;
    }
    char* room = free_;
    free_ += size;
    freeSize_ -= size;
    return room;
}

std::string_view CnxIniDocument::Keep(std::string_view text) {
    char* room = Reserve(text.size());
    std::copy(text.begin(), text.end(), room);
    return {room, text.size()};
}

CnxIniDocument::Line CnxIniDocument::PlainLine(std::string_view text) {
    return Line{text, {}, {}, false};
}

CnxIniDocument::Line CnxIniDocument::ParseLine(std::string_view text, bool inSection) {
    const std::string_view trimmed = Trim(text);
    if (!inSection || trimmed.empty() || trimmed.front() == ';' || IsHeader(trimmed)) {
        return PlainLine(text);
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return PlainLine(text);
    }
    const std::string_view key = Trim(trimmed.substr(0, equals));
    if (key.empty()) {
        return PlainLine(text);
    }
    return Line{text, key, ValueOf(trimmed.substr(equals + 1)), true};
}

CnxIniDocument::Line CnxIniDocument::KeyLine(std::string_view key, std::string_view value) {
    char* room = Reserve(key.size() + 1 + value.size());
    char* equals = std::copy(key.begin(), key.end(), room);
    *equals = '=';
    std::copy(value.begin(), value.end(), equals + 1);
    const std::string_view text(room, key.size() + 1 + value.size());
    return Line{text, text.substr(0, key.size()), ValueOf(text.substr(key.size() + 1)), true};
}

std::string CnxIniDocument::ToText() const {
    std::string text(byteOrderMark_ ? kByteOrderMark : std::string_view());
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            text += line.text;
            text += lineEnd_;
        }
    }
    return text;
}

size_t CnxIniDocument::FindSection(std::string_view name) const {
    // Values are read and written a section at a time, so the same name comes many times in a
    // row; the answer holds as long as no section was added.
    if (lastSearch_.sectionCount == sections_.size() && SameName(lastSearch_.name, name)) {
        return lastSearch_.found;
    }
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
        return s.hasHeader && SameName(s.name, name);
    });
    lastSearch_.name = name;
    lastSearch_.sectionCount = sections_.size();
    lastSearch_.found =
        found == sections_.end() ? kNoSection : static_cast<size_t>(found - sections_.begin());
    return lastSearch_.found;
}

std::optional<std::string_view> CnxIniDocument::Find(std::string_view section,
                                                     std::string_view key) const {
    const size_t index = FindSection(section);
    if (index == kNoSection) {
        return std::nullopt;
    }
    for (const Line& line : sections_[index].lines) {
        if (line.isKey && SameName(line.key, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

CnxIniDocument::Section& CnxIniDocument::SectionForWriting(std::string_view name) {
    if (const size_t index = FindSection(name); index != kNoSection) {
        return sections_[index];
    }
    char* room = Reserve(name.size() + 2);
    room[0] = '[';
    std::copy(name.begin(), name.end(), room + 1);
    room[name.size() + 1] = ']';
    const std::string_view header(room, name.size() + 2);
    // Named exactly as asked, whatever blanks or brackets the name holds.
    return sections_.emplace_back(
        Section{true, header.substr(1, name.size()), std::vector<Line>{PlainLine(header)}});
}

void CnxIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::vector<Line>& lines = SectionForWriting(section).lines;
    for (Line& line : lines) {
        if (line.isKey && SameName(line.key, key)) {
            if (!ReadsAs(line.text, key, value)) {
                line = KeyLine(key, value);
            }
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
