#pragma once
// The text of one INI file held in memory, with the private-profile rules: section and key names
// compare without regard to case, the first of duplicate sections or keys is the one that counts,
// and every line that is not touched (comments, unknown sections and keys, lines that make no
// sense) is written back as it was, in its place.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CnxIniDocument {
public:
    CnxIniDocument() = default;
    explicit CnxIniDocument(std::string_view text);

    std::string ToText() const;

    // Without the blanks (spaces, tabs, carriage returns) at either end.
    static std::string_view Trim(std::string_view text);

    // The value of the key up to any NUL, trimmed; nothing when section or key is missing.
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
    struct Line {
        std::string text;   // as it stands in the file, without the line feed
        std::string key;    // lower case; only for key=value lines
        std::string value;  // trimmed; only for key=value lines
        bool isKey = false;
    };
    struct Section {
        std::string name;  // lower case
        bool hasHeader = false;
        std::vector<Line> lines;  // the header line first when there is one
    };

    static Line ParseLine(std::string_view text, bool inSection);
    static Line KeyLine(std::string_view key, std::string_view value);
    static constexpr size_t kNoSection = static_cast<size_t>(-1);

    size_t FindSection(std::string_view name) const;
    Section& SectionForWriting(std::string_view name);

    std::vector<Section> sections_{Section{}};  // the first one holds what comes before any header
};
