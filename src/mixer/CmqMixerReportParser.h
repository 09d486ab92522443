#pragma once
// Cuts the unit's character stream into reports. The stream arrives in reads of any size, so a
// report may be split across reads or several may come in one; an incomplete report at the end
// waits for the next read. Fillers (the unit's line ends and separators) are dropped silently;
// any other stray character comes out as noise, one at a time, so it can be logged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct SmqMixerReport {
    enum class Kind { Buttons, Position, Noise };
    Kind kind = Kind::Noise;
    int buttons = 0;        // Buttons: the button bits
    int mode = 0;           // Buttons: the mode value
    int16_t position = 0;   // Position: the knob's counter
    char character = '\0';  // Noise: the character dropped

    bool operator==(const SmqMixerReport&) const = default;
};

class CmqMixerReportParser {
public:
    static constexpr std::size_t kButtonsLength = 5;   // "%", bits, mode, two more
    static constexpr std::size_t kPositionLength = 7;  // "$", four digits, two more

    void Append(std::string_view bytes);
    // The next report; false when nothing complete is left.
    bool Next(SmqMixerReport& report);
    std::size_t PendingBytes() const { return buffer_.size() - front_; }
    void Clear();

private:
    std::string buffer_;
    std::size_t front_ = 0;  // what lies before it is parsed already
};
