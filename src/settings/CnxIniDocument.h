#pragma once
// The text of one INI file held in memory, with the private-profile rules: section and key names
// compare without regard to case, the first of duplicate sections or keys is the one that counts,
// and every line that is not touched (comments, unknown sections and keys, lines that make no
// sense) is written back as it was, in its place. A byte-order mark and the line-end style of the
// file's first line are kept.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CnxIniDocument {
public:
    CnxIniDocument() = default;
    explicit CnxIniDocument(std::string_view text);
    // Lines point into the document's own storage: it moves, but does not copy.
    CnxIniDocument(CnxIniDocument&&) = default;
    CnxIniDocument& operator=(CnxIniDocument&&) = default;

    std::string ToText() const;

    // Without the blanks (spaces, tabs, carriage returns) at either end.
    static std::string_view Trim(std::string_view text);

    // The value of the key up to any NUL, trimmed; nothing when section or key is missing. It
    // stays valid as long as the document.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    // Replaces the key's line, adds the key after the section's last line, or adds the section at
    // the end of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // The names of the sections, as written in their headers, in file order.
    std::vector<std::string> SectionNames() const;
    // Drops the section with all its lines; false when there is none.
    bool RemoveSection(std::string_view name);
    // Adds an empty line at the end unless the text already ends with one, so that separating
    // sections again on every save does not make the file grow.
    void EndWithBlankLine();

private:
    // A line as it stands in the file, without the line feed; for a key=value line also its key
    // and its value (trimmed, up to any NUL). All three lie in the document's storage.
    struct Line {
        std::string_view text;
        std::string_view key;
        std::string_view value;
        bool isKey = false;
    };
    struct Section {
        bool hasHeader = false;
        std::string_view name;    // as in the header, between the brackets
        std::vector<Line> lines;  // the header line first when there is one
        // A bit for each key's hash: a key whose bit is clear is not in the section, which most
        // searches in a file missing keys learn without looking at a line.
        std::array<uint64_t, 4> keyBits{};
    };
    struct Search {
        std::string name;
        size_t sectionCount = 0;  // how many sections there were
        size_t found = static_cast<size_t>(-1);
    };

    static Line PlainLine(std::string_view text);
    static Line ParseLine(std::string_view text, bool inSection);
    static constexpr size_t kNoSection = static_cast<size_t>(-1);

    // Room for text that stays where it is for the document's life.
    char* Reserve(size_t size);
    std::string_view Keep(std::string_view text);
    Line KeyLine(std::string_view key, std::string_view value);
    size_t FindSection(std::string_view name) const;
    // The index of the line holding the key (the first, where a key stands twice), or kNoLine.
    static size_t FindKeyLine(const Section& section, std::string_view key);
    static uint64_t KeyHash(std::string_view key);
    static void MarkKey(Section& section, uint64_t hash);
    static bool MayHoldKey(const Section& section, uint64_t hash);
    static void MarkKeys(Section& section);
    static constexpr size_t kNoLine = static_cast<size_t>(-1);
    Section& SectionForWriting(std::string_view name);

    // The file's text and every line written since, in blocks that never move, so that a file
    // costs a few allocations rather than several per line.
    std::vector<std::unique_ptr<char[]>> storage_;
    char* free_ = nullptr;
    size_t freeSize_ = 0;
    std::vector<Section> sections_{Section{}};  // the first one holds what comes before any header
    bool byteOrderMark_ = false;
    std::string_view lineEnd_ = "\n";  // as the file's first line ends
    mutable Search lastSearch_;
};
