#pragma once
// The top of the main window beside the S-meter: the tuning block (frequency entry, knob, the
// switches and the volume) and the channel block (channel number, on-channel lamp, band name).
// It holds no logic: it shows what its controllers give it and tells what the operator asks for.
#include <QWidget>
#include <cstdint>
#include <string>

#include "core/TmyEvents.h"
#include "tuning/InxTuningView.h"

class CnxCtrlFrequency;
class CnxCtrlFrequencyBand;
class CnxCtrlKnob;
class QPushButton;
class QSlider;

class CnxCtrlTuningPanel : public QWidget, public InxTuningView {
    Q_OBJECT
public:
    // The band names come from the file at `bandFilePath`.
    CnxCtrlTuningPanel(const std::string& bandFilePath, QWidget* parent = nullptr);

    CnxCtrlFrequency& Entry() const { return *entry_; }
    CnxCtrlKnob& Knob() const { return *knob_; }
    const CnxCtrlFrequencyBand& BandDisplay() const { return *band_; }

    // Entry, channel and band.
    void ShowFrequency(int32_t frequency) override;
    void ShowLimits(int32_t lower, int32_t upper) override;
    void ShowKnobStep(int32_t step) override;
    void ShowChannelMode(bool on) override;
    void ShowAttenuator(bool on) override;
    void ShowRfAmplifier(bool on) override;
    void ShowMonitor(bool on);
    void ShowVolume(int volume, int minimum, int maximum);
    // The Record switch: on with the time it has been recording, and where it goes.
    void ShowRecording(bool on, const QString& elapsed, const QString& toolTip);
    void ShowRemote(bool on, const QString& toolTip);
    // Manual tuning (entry, knob, channel and attenuator switches) and listening (monitor, volume).
    void EnableControls(bool manualTuning, bool listening);

    // The operator's requests, each with the state asked for.
    TmyEventList<int32_t> OnChannelModeToggled;
    TmyEventList<int32_t> OnAttenuatorToggled;
    TmyEventList<int32_t> OnRfAmplifierToggled;
    TmyEventList<int32_t> OnMonitorToggled;
    TmyEventList<int32_t> OnRecordToggled;
    TmyEventList<int32_t> OnRemoteToggled;
    TmyEventList<int32_t> OnVolumeChanged;

private:
    QWidget* BuildTuningBlock();
    QWidget* BuildChannelBlock(const std::string& bandFilePath);
    QPushButton* AddSwitch(const QString& text, const QString& toolTip,
                           TmyEventList<int32_t>& event, QWidget* parent);
    static void ShowChecked(QPushButton* button, bool on);

    CnxCtrlFrequency* entry_ = nullptr;
    CnxCtrlKnob* knob_ = nullptr;
    CnxCtrlFrequencyBand* band_ = nullptr;
    QPushButton* channel_ = nullptr;
    QPushButton* atten_ = nullptr;
    QPushButton* monitor_ = nullptr;
    QPushButton* record_ = nullptr;
    QPushButton* remote_ = nullptr;
    QPushButton* rfAmp_ = nullptr;
    QSlider* volume_ = nullptr;
};
