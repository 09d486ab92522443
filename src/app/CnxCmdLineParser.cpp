#include "app/CnxCmdLineParser.h"

#include <algorithm>

namespace {

char FoldedChar(char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

}  // namespace

CnxCmdLineParser::CnxCmdLineParser(const char* text, bool caseSensitive)
    : caseSensitive_(caseSensitive) {
    if (text != nullptr) {
        Parse(text);
    }
}

CnxCmdLineParser::CnxCmdLineParser(const std::string& text, bool caseSensitive)
    : caseSensitive_(caseSensitive) {
    Parse(text);
}

void CnxCmdLineParser::Parse(const std::string& text) {
    text_ = text;
    options_.clear();
    ParseText();
}

void CnxCmdLineParser::ParseText() {
    // "-#5" is option "#" with value 5: the first '#' gets an '=' after it.
    const std::size_t hash = text_.find('#');
    if (hash != std::string::npos) {
        text_.insert(hash + 1, 1, '=');
    }
    const std::string& text = text_;
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t dash = text.find_first_of("-/", pos);
        if (dash == std::string::npos || dash + 1 >= size) {
            return;
        }
        const std::size_t nameStart = dash + 1;
        const std::size_t separator = text.find_first_of(" :=", nameStart);
        if (separator == std::string::npos) {
            Store(text.substr(nameStart), "");
            return;
        }
        std::string name = text.substr(nameStart, separator - nameStart);
        if (text[separator] == ' ' || separator + 1 == size) {
            Store(std::move(name), "");
            pos = separator + 1;
            continue;
        }
        std::size_t valueStart = separator + 1;
        const char terminator = text[valueStart] == '"' ? '"' : ' ';
        if (terminator == '"') {
            ++valueStart;
        }
        const std::size_t valueEnd = text.find(terminator, valueStart);
        if (valueEnd == std::string::npos) {
            Store(std::move(name), text.substr(valueStart));
            return;
        }
        Store(std::move(name), text.substr(valueStart, valueEnd - valueStart));
        pos = valueEnd + 1;
    }
}

void CnxCmdLineParser::Store(std::string name, std::string value) {
    if (name.empty() || Find(name) != nullptr) {
        return;  // the first occurrence wins
    }
    if (!caseSensitive_) {
        for (char& c : name) {
            c = FoldedChar(c);
        }
    }
    options_.push_back(Option{std::move(name), std::move(value)});
}

bool CnxCmdLineParser::Matches(const std::string& stored, const std::string& name) const {
    if (caseSensitive_) {
        return stored == name;
    }
    return stored.size() == name.size() &&
           std::equal(stored.begin(), stored.end(), name.begin(),
                      [](char folded, char c) { return folded == FoldedChar(c); });
}

// A command line holds a handful of options: a look along them beats any index.
const std::string* CnxCmdLineParser::Find(const std::string& name) const {
    for (const Option& option : options_) {
        if (Matches(option.name, name)) {
            return &option.value;
        }
    }
    return nullptr;
}

bool CnxCmdLineParser::HasKey(const std::string& name) const {
    return Find(name) != nullptr;
}

bool CnxCmdLineParser::HasValue(const std::string& name) const {
    const std::string* value = Find(name);
    return value != nullptr && !value->empty();
}

bool CnxCmdLineParser::GetValue(const std::string& name, std::string& value) const {
    const std::string* found = Find(name);
    if (found == nullptr) {
        return false;
    }
    value = *found;
    return true;
}
