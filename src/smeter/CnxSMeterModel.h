#pragma once
// What the S-meter panel decides, without drawing anything: the level it shows, squelch against a
// threshold with a defeat switch, and the attenuator, AGC and AVC status texts with their click
// rules. The panel draws this state and forwards its clicks here; the events name the panel as
// their sender.
#include <cmath>
#include <cstdint>
#include <string>

#include "core/TmyEvents.h"
#include "smeter/CnxSMeterScale.h"

class CnxSMeterModel {
public:
    // How a status text is coloured: the scheme's alert or normal colour, or muted while its
    // state is not known yet.
    enum class Tone { kNormal, kAlert, kUnknown };
    struct Status {
        std::string text;
        Tone tone;
    };

    static constexpr int32_t kUnknownMode = -1;

    explicit CnxSMeterModel(void* sender);

    // Squelch first, then the level is stored, clamped to the scale. NaN says the receiver could
    // not be read: the meter shows no reading (and no level) until the next one, and the squelch
    // stays as it was.
    void SetLevel(double dbm);
    double GetLevel() const { return level_; }  // NaN while there is no reading
    bool HasReading() const { return !std::isnan(level_); }

    void SetSquelchThreshold(double dbm) { squelchThreshold_ = dbm; }
    double GetSquelchThreshold() const { return squelchThreshold_; }
    // While defeated, levels no longer open or close the squelch.
    void SetSquelchDefeat(bool defeat) { squelchDefeat_ = defeat; }
    bool GetSquelchDefeat() const { return squelchDefeat_; }
    bool IsSquelched() const { return squelched_; }

    void SetAttenuator(bool on) { attenuator_ = on; }
    bool GetAttenuator() const { return attenuator_; }
    // 0 and 1: off; 2 slow, 3 medium, 4 fast. Other values are stored and change no text.
    void SetAGCMode(int32_t mode);
    int32_t GetAGCMode() const { return agcMode_; }
    void SetAVCMode(int32_t mode);
    int32_t GetAVCMode() const { return avcMode_; }

    Status AttenuatorStatus() const;
    const Status& AGCStatus() const { return agcStatus_; }
    const Status& AVCStatus() const { return avcStatus_; }

    // A click on a status text: the attenuator toggles; AGC and AVC step 1, 2, 3, 4, 1, ...
    void ClickAttenuator();
    void ClickAGC();
    void ClickAVC();

    const CnxSMeterScale& Scale() const { return scale_; }

    // Raised with 1 whenever a level below the threshold arrives, with 0 when one at or above it
    // arrives while squelched.
    TmyEventList<int32_t> OnSquelchChanged;
    TmyEventList<int32_t> OnAttenuatorClicked;  // the new state
    TmyEventList<int32_t> OnAGCClicked;         // the new mode - 1
    TmyEventList<int32_t> OnAVCClicked;         // the new mode

private:
    static void UpdateModeStatus(Status& status, const char* name, int32_t mode);
    static int32_t NextClickMode(int32_t mode);

    void* sender_;
    CnxSMeterScale scale_;
    double level_ = CnxSMeterScale::kMinimum;
    double squelchThreshold_ = CnxSMeterScale::kMinimum;
    bool squelchDefeat_ = false;
    bool squelched_ = true;
    bool attenuator_ = false;
    int32_t agcMode_ = kUnknownMode;
    int32_t avcMode_ = kUnknownMode;
    Status agcStatus_{"AGC", Tone::kUnknown};
    Status avcStatus_{"AVC", Tone::kUnknown};
};
