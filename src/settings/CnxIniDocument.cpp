#include "settings/CnxIniDocument.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// The blanks around names and values: space, tab, carriage return, vertical tab, form feed. A
// table, since every line is trimmed and a search for any of five bytes tests each one five times.
constexpr std::array<bool, 256> kBlank = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : {' ', '\t', '\r', '\v', '\f'}) {
        table[c] = true;
    }
    return table;
}();
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // UTF-8
constexpr std::string_view kCrLf = "\r\n";

// Each byte with ASCII capitals made small; a table, since names are compared very often.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (size_t c = 0; c < table.size(); ++c) {
        table[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return table;
}();

// Names compare without regard to (ASCII) case; most compare equal byte for byte.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a == b) {
        return true;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (kFolded[static_cast<unsigned char>(a[i])] !=
            kFolded[static_cast<unsigned char>(b[i])]) {
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

// The name between the brackets, up to the line's last closing one, so that a name holding a
// bracket (a section named after a radio's serial) reads back as written; a header missing its
// closing bracket names the rest of the line.
std::string_view HeaderName(std::string_view trimmed) {
    const std::string_view inside = trimmed.substr(1);
    return CnxIniDocument::Trim(inside.substr(0, inside.rfind(']')));
}

// What follows the equals sign; a NUL ends it as it would end a C string.
std::string_view ValueOf(std::string_view text) {
    return CnxIniDocument::Trim(text.substr(0, text.find('\0')));
}

// The lines without their line ends; with crlf, a carriage return ending a line is part of its end.
std::vector<std::string_view> SplitLines(std::string_view text, bool crlf) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (crlf && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// Enough for the lines a save adds to a typical file.
constexpr size_t kStorageBlock = 1024;
// Room in each section for the lines a save adds (a key or two, the blank line before the next
// section) without moving the section's lines.
constexpr size_t kSpareLines = 4;
// A section the program adds holds its header, a receiver's keys and a blank line.
constexpr size_t kNewSectionLines = 24;

}  // namespace

std::string_view CnxIniDocument::Trim(std::string_view text) {
    // Most names and values have no blank at either end: two looks decide.
    if (text.empty() || (!kBlank[static_cast<unsigned char>(text.front())] &&
                         !kBlank[static_cast<unsigned char>(text.back())])) {
        return text;
    }
    const char* first = text.data();
    const char* end = first + text.size();
    while (first != end && kBlank[static_cast<unsigned char>(*first)]) {
        ++first;
    }
    while (end != first && kBlank[static_cast<unsigned char>(end[-1])]) {
        --end;
    }
    return {first, static_cast<size_t>(end - first)};
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
    const std::vector<std::string_view> lines = SplitLines(Keep(text), crlf);
    // Where each section starts, and the end of the last one: each section then takes one
    // allocation for its lines.
    std::vector<size_t> starts;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsHeader(Trim(lines[i]))) {
            starts.push_back(i);
        }
    }
    starts.push_back(lines.size());
    auto addLines = [&](Section& section, size_t from, size_t to, bool inSection) {
        section.lines.reserve(to - from + kSpareLines);
        for (size_t i = from; i < to; ++i) {
            section.lines.push_back(ParseLine(lines[i], inSection));
        }
        MarkKeys(section);
    };
    sections_.reserve(starts.size());
    addLines(sections_.back(), 0, starts.front(), false);
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
        // The header line itself parses as a plain line.
        Section& section = sections_.emplace_back(
            Section{true, HeaderName(Trim(lines[starts[k]])), std::vector<Line>{}});
        addLines(section, starts[k], starts[k + 1], true);
    }
}

char* CnxIniDocument::Reserve(size_t size) {
    if (size > freeSize_) {
        const size_t blockSize = std::max(size, kStorageBlock);
        storage_.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
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
    size_t size = kByteOrderMark.size();
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            size += line.text.size() + lineEnd_.size();
        }
    }
    std::string text;
    text.reserve(size);
    text = byteOrderMark_ ? kByteOrderMark : std::string_view();
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

uint64_t CnxIniDocument::KeyHash(std::string_view key) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a over the folded key
    for (const char c : key) {
        hash = (hash ^ kFolded[static_cast<unsigned char>(c)]) * 1099511628211ull;
    }
    return hash;
}

void CnxIniDocument::MarkKey(Section& section, uint64_t hash) {
    section.keyBits[(hash >> 6) & 3] |= uint64_t{1} << (hash & 63);
}

bool CnxIniDocument::MayHoldKey(const Section& section, uint64_t hash) {
    return (section.keyBits[(hash >> 6) & 3] & (uint64_t{1} << (hash & 63))) != 0;
}

void CnxIniDocument::MarkKeys(Section& section) {
    for (const Line& line : section.lines) {
        if (line.isKey) {
            MarkKey(section, KeyHash(line.key));
        }
    }
}

size_t CnxIniDocument::FindKeyLine(const Section& section, std::string_view key) {
    if (!MayHoldKey(section, KeyHash(key))) {
        return kNoLine;
    }
    const std::vector<Line>& lines = section.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].isKey && SameName(lines[i].key, key)) {
            return i;
        }
    }
    return kNoLine;
}

std::optional<std::string_view> CnxIniDocument::Find(std::string_view section,
                                                     std::string_view key) const {
    const size_t index = FindSection(section);
    if (index == kNoSection) {
        return std::nullopt;
    }
    const Section& found = sections_[index];
    if (const size_t line = FindKeyLine(found, key); line != kNoLine) {
        return found.lines[line].value;
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
    Section& section =
        sections_.emplace_back(Section{true, header.substr(1, name.size()), std::vector<Line>{}});
    section.lines.reserve(kNewSectionLines);
    section.lines.push_back(PlainLine(header));
    return section;
}

void CnxIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    Section& written = SectionForWriting(section);
    std::vector<Line>& lines = written.lines;
    if (const size_t found = FindKeyLine(written, key); found != kNoLine) {
        if (!ReadsAs(lines[found].text, key, value)) {
            lines[found] = KeyLine(key, value);
        }
        return;
    }
    // New keys go before the blank lines that separate this section from the next one.
    const auto lastFilled = std::find_if(lines.rbegin(), lines.rend(),
                                         [](const Line& line) { return !Trim(line.text).empty(); });
    lines.insert(lastFilled.base(), KeyLine(key, value));
    MarkKey(written, KeyHash(key));
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
