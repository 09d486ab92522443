#include "tuning/CnxMainWindowKeys.h"

using Command = CnxMainWindowKeys::Command;
using Action = CnxMainWindowKeys::Action;

Command CnxMainWindowKeys::Translate(int key, Qt::KeyboardModifiers modifiers,
                                     const QString& text) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (key) {
        case Qt::Key_Tab:
            if (ctrl) {
                return {Action::SelectReceiverBy, modifiers.testFlag(Qt::ShiftModifier) ? -1 : 1};
            }
            return {};
        case Qt::Key_Backtab:  // how Shift+Tab usually arrives
            return ctrl ? Command{Action::SelectReceiverBy, -1} : Command{};
        case Qt::Key_Right:
            return {Action::VolumeBy, 1};
        case Qt::Key_Left:
            return {Action::VolumeBy, -1};
        case Qt::Key_Plus:
            return keypad ? Command{Action::VolumeBy, 1} : Command{};
        case Qt::Key_Minus:
            return keypad ? Command{Action::VolumeBy, -1} : Command{};
        case Qt::Key_Space:
            return {Action::ToggleScan};
        case Qt::Key_Up:
            return {Action::KnobStep, 1};
        case Qt::Key_Down:
            return {Action::KnobStep, -1};
        case Qt::Key_PageUp:
            return {Action::FrequencyBy, PageAmount(modifiers)};
        case Qt::Key_PageDown:
            return {Action::FrequencyBy, -PageAmount(modifiers)};
        case Qt::Key_F1:
            return {Action::Help};
        case Qt::Key_F2:
            return {Action::ToggleOverview};
        default:
            return TranslateCharacter(key, modifiers, text);
    }
}

Command CnxMainWindowKeys::TranslateCharacter(int key, Qt::KeyboardModifiers modifiers,
                                              const QString& text) {
    // Ctrl and Alt combinations are shortcuts, never characters for the entry.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) {
        return {};
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return {Action::OpenEntry, 0, static_cast<char>('0' + (key - Qt::Key_0))};
    }
    // The keypad's decimal key reads "," under some layouts; it still means a decimal point.
    const bool keypadDecimal =
        modifiers.testFlag(Qt::KeypadModifier) && (key == Qt::Key_Period || key == Qt::Key_Comma);
    if (keypadDecimal || key == Qt::Key_Period || text == QLatin1String(".")) {
        return {Action::OpenEntry, 0, '.'};
    }
    return {};
}

int32_t CnxMainWindowKeys::PageAmount(Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier)) {
        return kPageStepCtrl;
    }
    return modifiers.testFlag(Qt::ShiftModifier) ? kPageStepShift : kPageStep;
}
