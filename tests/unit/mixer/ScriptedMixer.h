#pragma once
// A control model whose unit is a script: it records every command and takes it or not as told,
// and is fed the unit's reports directly.
#include <string>
#include <utility>
#include <vector>

#include "mixer/CmqVqbMixer.h"

class ScriptedMixer : public CmqVqbMixer {
public:
    std::vector<std::string> commands;
    bool unitTakesCommands = true;
    bool unitPresent = true;

    int Open() override {
        if (!unitPresent) {
            return 0;
        }
        BeginSession();
        SetOpen(true);
        return 1;
    }

    void Buttons(int buttons, int mode) {
        HandleReport({SmqMixerReport::Kind::Buttons, buttons, mode});
    }
    void Position(int position) {
        HandleReport({SmqMixerReport::Kind::Position, 0, 0, static_cast<int16_t>(position)});
    }
    std::vector<std::string> TakeCommands() { return std::exchange(commands, {}); }

protected:
    int Write(const std::string& text) override {
        commands.push_back(text);
        return unitTakesCommands ? static_cast<int>(text.size()) : 0;
    }
};
