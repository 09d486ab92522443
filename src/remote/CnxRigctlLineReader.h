#pragma once
// Cuts a client's byte stream into command lines. Bytes arrive in reads of any size, so a line may
// be split across reads or several may come in one. A line longer than the limit is reported once
// and skipped up to its line feed, so a client cannot make the reader hold more than one line.
#include <cstddef>
#include <string>
#include <string_view>

class CnxRigctlLineReader {
public:
    static constexpr std::size_t kMaxLineLength = 1024;  // bytes before the line feed (and CR)

    enum class Event { kNothing, kLine, kOverlong };

    void Append(std::string_view bytes);
    // The next complete line, without its line feed; kNothing when none is complete yet.
    Event Next(std::string& line);
    // A line has begun that has not ended yet: the client owes us its end.
    bool HasUnfinishedLine() const;

private:
    std::string buffer_;
    std::size_t front_ = 0;  // what lies before it has been handed out
    bool skipping_ = false;  // inside an overlong line that was reported already
};
