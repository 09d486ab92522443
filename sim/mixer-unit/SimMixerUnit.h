#pragma once
// The knob box's behaviour without any I/O: what it says when its port is opened, what it makes of
// the bytes the program sends, and the reports a turn of the knob or a press of a button produces.
// Everything worth printing is collected as lines for the caller to show.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SimMixerUnit {
public:
    static constexpr const char* kDefaultIdentification = "Quorvant VQB interface 1.0 (simulated)";

    // An empty identification makes a unit that never answers the probe.
    SimMixerUnit(std::string identification, uint16_t position);

    // A real unit speaks up when DTR rises; a pseudo-terminal has no DTR, so opening the port
    // stands in for it: from then on the identification repeats until the first command arrives.
    void portOpened();
    void portClosed();
    bool isIdentifying() const { return identifying_; }
    std::string identificationLine() const { return identification_ + "\r\n"; }
    // True once the program has sent anything: the unit is in use.
    bool isInUse() const { return inUse_; }

    // Takes bytes from the program; returns what the unit answers (a position report for "$").
    std::string receive(std::string_view bytes);

    // One position report per count, so the program sees the knob pass every position.
    std::string turn(int counts);
    // Modes 1, 2 and 4 are the three buttons; 6 is the backlight mode the unit enters by itself.
    std::string press(int mode);

    uint16_t position() const { return position_; }
    // Shows bytes as C would write them, so control characters stay visible.
    static std::string quoted(std::string_view text);
    std::vector<std::string> takeLines();

private:
    std::string positionReport() const;
    void command(std::string_view text, std::string_view meaning = {});
    void flushDigits();

    std::string identification_;
    uint16_t position_;
    bool identifying_ = false;
    bool inUse_ = false;
    std::string digits_;  // hexadecimal digits of a command still to be ended by its sign
    bool carriageReturn_ = false;
    std::vector<std::string> lines_;
};
