#pragma once
// A control model whose unit is a script: it records every command and takes it or not as told,
// and is fed the unit's reports directly.
#include <string>
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
        SmqMixerReport report;
        report.kind = SmqMixerReport::Kind::Buttons;
        report.buttons = buttons;
        report.mode = mode;
        HandleReport(report);
    }
    void Position(int position) {
        SmqMixerReport report;
        report.kind = SmqMixerReport::Kind::Position;
        report.position = static_cast<int16_t>(position);
        HandleReport(report);
    }
    std::vector<std::string> TakeCommands() {
        std::vector<std::string> taken;
        taken.swap(commands);
        return taken;
    }

protected:
    int Write(const std::string& text) override {
        commands.push_back(text);
        return unitTakesCommands ? static_cast<int>(text.size()) : 0;
    }
};
