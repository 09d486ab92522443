#pragma once
// The main window's keyboard table: which action a key press asks for. The controller carries the
// action out; this class only decides, so the table is checked without a window.
#include <QString>
#include <Qt>
#include <cstdint>

class CnxMainWindowKeys {
public:
    enum class Action {
        None,
        SelectReceiverBy,  // value: +1 next, -1 previous
        OpenEntry,         // character: the digit or "." to type into the frequency entry
        VolumeBy,          // value: +1 / -1
        ToggleScan,
        KnobStep,     // value: +1 up, -1 down
        FrequencyBy,  // value: signed amount in Hz
        Help,
        ToggleOverview,  // between the selected receiver and all receivers
    };

    struct Command {
        Action action = Action::None;
        int32_t value = 0;
        char character = 0;
    };

    static constexpr int32_t kPageStep = 50000;
    static constexpr int32_t kPageStepShift = 10000;
    static constexpr int32_t kPageStepCtrl = 500000;

    static Command Translate(int key, Qt::KeyboardModifiers modifiers, const QString& text);

private:
    static Command TranslateCharacter(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& text);
    static int32_t PageAmount(Qt::KeyboardModifiers modifiers);
};
