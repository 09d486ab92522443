#pragma once
// Splits the program's command line into options with optional values: -name, /name, -name=value,
// /name:value, -name="value with spaces". The first occurrence of a name wins. Unless the parser is
// case-sensitive, names (not values) are folded to lower case, so lookups ignore case.
#include <string>
#include <vector>

class CnxCmdLineParser {
public:
    // A null `text` leaves the parser empty until Parse.
    explicit CnxCmdLineParser(const char* text = nullptr, bool caseSensitive = false);
    explicit CnxCmdLineParser(const std::string& text, bool caseSensitive = false);

    // Replaces the text and every option found before.
    void Parse(const std::string& text);

    bool HasKey(const std::string& name) const;
    // True only for a non-empty value.
    bool HasValue(const std::string& name) const;
    // False when the option did not occur; otherwise copies its value, possibly empty.
    bool GetValue(const std::string& name, std::string& value) const;

private:
    void ParseText();
    void Store(std::string name, std::string value);
    // `stored` is folded already unless the parser is case-sensitive.
    bool Matches(const std::string& stored, const std::string& name) const;
    const std::string* Find(const std::string& name) const;

    struct Option {
        std::string name;
        std::string value;
    };
    std::string text_;
    std::vector<Option> options_;  // in the order of the text
    bool caseSensitive_;
};
