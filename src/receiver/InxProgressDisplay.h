#pragma once
// Where start-up progress goes: the splash window while the program starts, or nothing.
#include <string>

class InxProgressDisplay {
public:
    virtual ~InxProgressDisplay() = default;
    // Shows the text; length 0 means the whole string, otherwise its first `length` characters.
    virtual void SetText(const std::string& text, int length) = 0;
    virtual void SetPosition(int percent) = 0;
};
