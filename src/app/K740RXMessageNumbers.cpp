// Every subsystem numbers its own messages; posted messages share one queue per thread and some
// targets (the main window) take messages from several subsystems, so no two may share a number.
#include <algorithm>
#include <array>

#include "app/K740RXAppMessages.h"
#include "audio/K740RXAudioMessages.h"
#include "core/K740RXExternalMessages.h"
#include "mixer/K740RXMixerMessages.h"
#include "receiver/K740RXReceiverMessages.h"
#include "remote/K740RXRemoteMessages.h"
#include "smeter/K740RXSMeterMessages.h"

namespace {

constexpr std::array kMessageNumbers{
    WM_CLOSE,
    WM_QUIT,
    WM_SPLASH_TEXT,
    WM_SPLASH_PROGRESS,
    WM_MAIN_CLOSE_ABOUT,
    WM_MAIN_SWITCH_TO_DEMO,
    WM_MAIN_TAKE_BACK_RADIO,
    WM_MAIN_SET_ATTENUATOR,
    WM_MAIN_SET_RF_AMPLIFIER,
    WM_MAIN_FREQUENCY_SET,
    WM_MAIN_SET_SCAN_STEP,
    WM_RCV_AUDIO_BLOCK,
    WM_RCV_AUDIO_CHUNK,
    WM_RCV_CONNECTION,
    WM_RCV_SCAN_END,
    WM_RCV_RADIO_BACK,
    WM_RCV_SCAN_LEVEL,
    WM_CAL_CLOSE,
    WM_CAL_OFFSET,
    WM_AUDIO_BLOCK,
    WM_AUDIO_SELECTION_FENCE,
    WM_AUDIO_RETIRE_FENCE,
    MM_WOM_DONE,
    MM_WIM_DATA,
    WM_MIXER_BUTTONS,
    WM_MIXER_POSITION,
    WM_MIXER_LOST,
    WM_REMOTE_CHANGE_DONE,
};

constexpr bool AllDistinct() {
    auto sorted = kMessageNumbers;
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

static_assert(AllDistinct(), "two messages share a number");

}  // namespace
