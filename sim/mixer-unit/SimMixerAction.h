#pragma once
// One scripted action of the simulated unit, as written on its command line or its input:
//   turn <counts>   the knob moves by that many positions (+ clockwise, - back)
//   press <mode>    a button: 1, 2 or 4; 6 is the unit's own backlight mode
//   send <text>     raw bytes, with \r, \n, \t, \\ and \xHH escapes (for garbage and noise);
//                   trailing blanks need \x20
//   wait <ms>       pause before the next action
//   quit            end the unit
#include <optional>
#include <string>
#include <string_view>

struct SimMixerAction {
    enum class Kind { Turn, Press, Send, Wait, Quit };
    Kind kind = Kind::Quit;
    int value = 0;
    std::string bytes;

    // Nothing for a blank line or a # comment; nothing with `error` set for a line it cannot read.
    static std::optional<SimMixerAction> parse(std::string_view line, std::string& error);
};
