#pragma once
// The main window and conductor of the program: it owns the settings, the receivers, the
// calibrator and every control, runs start-up in two stages and a deferred start, routes the
// receivers' messages and the controls' events, and shuts everything down in order.
#include <QDateTime>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/K740RXAppMessages.h"
#include "audio/K740RXAudioMessages.h"
#include "core/K740RXExternalMessages.h"
#include "core/TmyComponent.h"
#include "mixer/InmqKnobBoxActions.h"
#include "remote/InxRemoteTarget.h"
#include "scanner/CnxScanRun.h"
#include "smeter/K740RXSMeterMessages.h"

class TmyApplication;
class CnxK740RXFileIniApp;
class CnxK740RX_ReceiverManager;
class CnxK740RXReceiver;
class CnxK740RXCalibratorSMeter;
class CnxThreadSplash;
class CnxInterfaceDll;
class CnxK740RXCtrlReceiverManager;
class CnxCtrlFrequency;
class CnxCtrlKnob;
class CnxCtrlFrequencyBand;
class CnxK740RXDlgDisconnected;
class CnxK740RXDlgRadioBack;
class CnxK740RXDlgAbout;
class CnxK740RXDlgHelp;
class CnxCtrlSMeter;
class CnxK740RXDlgCalibration;
class CnxK740RXCtrlScanner;
class CnxK740RXCtrlScannerGraph;
class CnxMarkerStore;
class CnxCtrlSpectrumPanel;
class CFIR2;
class CmqVqbMixerCom;
class CnxRemoteControl;
class CSndAudioPath;
class CSndWavePlayer;
class CmqKnobBoxMapping;
class QPushButton;
class QSlider;
class QLabel;
class QStackedWidget;
struct SnxK740RXInfoListItem;
struct ScanSample;

class CMainWindows : public QWidget,
                     public TmyComponent,
                     private InmqKnobBoxActions,
                     private InxRemoteTarget {
public:
    static constexpr int kMaxReceivers = 8;
    static constexpr UINT kTimerDeferredStart = 1;
    static constexpr UINT kTimerReceiverWatch = 2;
    static constexpr UINT kTimerLevelPoll = 3;
    static constexpr UINT kTimerReceiversReady = 4;
    static constexpr UINT kTimerSettingsSave = 5;
    // The rate of the window's own audio format: what the output plays and the spectrum shows.
    static constexpr int kOutputRate = 64000;

    // First stage: settings, libraries, splash, calibration and receivers.
    explicit CMainWindows(TmyApplication& app);
    ~CMainWindows() override;

    bool IsInitOk() const { return initOk_; }
    // Second stage: controls, receiver list, the window shown, deferred start armed.
    void Build();
    void ApplySavedPlacement();

    void FrequencySet(int index, int32_t frequency, bool force = false);
    void SelectReceiver(int index, bool force = false);
    void SetAttenuator(bool on, bool force = false);
    void SetRFAmplifier(bool on, bool force = false);
    void SetStep(int32_t step, bool force = false);
    void SetChannelMode(bool on, bool force = false);
    void SetVolume(int volume, bool force = false);
    void SetMonitor(bool on, bool force = false);
    void SetSMeterCal(int32_t offset, bool force = false);
    void UpdateChannelDisplay(int32_t frequency);
    void OpenHelp();

    // State that tests and the status display look at.
    bool IsReady() const { return ready_; }
    bool IsClosePending() const { return closePending_; }
    // The slot whose controls are shown, as the settings keep it; -1 until the list exists.
    int GetSelectedReceiver() const;
    int32_t GetCurrentFrequency() const;
    int32_t GetReceiverFrequency(int index) const { return slots_.at(index).frequency; }
    int32_t GetUpperLimit() const { return upperLimit_; }
    // dBm; NaN while the selected receiver cannot be read.
    double GetLevel() const { return level_; }
    bool IsChannelMode() const;
    const CnxScanRun& ScanRun() const { return scanRun_; }
    CnxK740RXFileIniApp& Settings() { return *settings_; }
    CnxK740RX_ReceiverManager* Manager() { return manager_.get(); }
    CnxK740RXCtrlReceiverManager* ReceiverList() { return receiverList_; }
    CnxCtrlFrequency* FrequencyEntry() { return frequencyEntry_; }
    CnxCtrlFrequencyBand* BandDisplay() { return bandDisplay_; }
    const CnxK740RXDlgDisconnected* DisconnectionWindow(int index) const;
    CnxK740RXDlgCalibration* CalibrationWindow() const { return calibration_.get(); }
    // The program's own manual window, opened by Help where no browser can be launched.
    CnxK740RXDlgHelp* HelpWindow() const { return help_.get(); }
    CnxCtrlSMeter* Meter(int index) const { return slots_.at(index).meter; }
    CnxK740RXCtrlScanner* Scanner(int index) const { return slots_.at(index).scanner; }
    CnxK740RXCtrlScannerGraph* Graph(int index) const { return slots_.at(index).graph; }
    // The offer to take back a lost radio that is plugged in again; null when none is open.
    CnxK740RXDlgRadioBack* RadioBackWindow(int index) const;

protected:
    void OnWindowMessage(const TmyMessage& message) override;
    void OnTimer(UINT id) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel anywhere over the window turns the knob, by the knob's own rule.
    void wheelEvent(QWheelEvent* event) override;

private:
    // Per receiver slot: what the window keeps for each of the eight receivers.
    struct SnxReceiverSlot {
        int32_t frequency = 0;
        int64_t scanPosition = 0;  // the frequency of the slot's latest scan sample
        CnxK740RXCtrlScanner* scanner = nullptr;
        CnxK740RXCtrlScannerGraph* graph = nullptr;
        std::unique_ptr<CnxK740RXDlgDisconnected> disconnected;
        std::unique_ptr<CnxK740RXDlgRadioBack> radioBack;
        CnxCtrlSMeter* meter = nullptr;
    };

    // Start-up and shutdown (CMainWindows.cpp)
    void SplashStatus(const std::string& text, bool append);
    void SplashProgress(int percent);
    void SplashFinish();
    void SetupApplication();
    void SetupCalibration();
    bool SetupReceivers();
    void BuildControls();
    void FillReceiverList();
    void DeferredStart();
    void OnReceiversReadyPoll();
    void OnClose();
    void Destroy();
    void SavePlacement();
    // Writes what changed since the last save; the operator hears once when that fails.
    void SaveSettings();

    // Tuning (CMainWindowsTuning.cpp)
    void HookControlEvents();
    void OnEntryFrequencyChanged(void* sender, int32_t frequency);
    void OnEntryFrequencySpinChanged(void* sender, int32_t frequency);
    void OnEntryFrequency375Changed(void* sender, int32_t frequency);
    void OnKnobStep(void* sender, int32_t step);
    void TuneSelected(int32_t frequency);
    void TuneOther(int index, int32_t frequency);
    // The selected slot's frequency in every read-out of it.
    void ShowSelectedFrequency(int32_t frequency);
    // Only the read-outs of frequency, band and channel: where a sweep is, or what is tuned.
    void ShowScanPosition(int32_t frequency);
    bool HandleKey(const QKeyEvent& event);
    void UpdateControlsEnabled();

    // Scanning (CMainWindowsScanning.cpp)
    QWidget* BuildScanners();
    QString MarkerKey(int index) const;
    void LoadMarkers();
    void SaveMarkers(int index);
    void ShowScanner(int index);
    void OnScanCommand(void* sender, int32_t mode, std::intptr_t extra);
    void OnLoopChanged(void* sender, int32_t loop, std::intptr_t extra);
    bool IsSelectedScanning() const;
    void ToggleScan();
    void StartScanning();
    void PauseScanning();
    void StopScanning(int index);
    void OnScanEnd(CnxK740RXReceiver* receiver);
    void OnScanLevel(CnxK740RXReceiver* receiver, const ScanSample& sample);
    void ShowSweep();

    // Audio (CMainWindowsAudio.cpp)
    void StartAudio();
    void StopAudio();
    // The player's source for the selected receiver: noise for a demo one, else the sound card.
    void PlayReceiverSource();
    // A demo receiver plays the demo sound on the three demo frequencies, noise elsewhere.
    void PlayDemoSoundFor(int32_t frequency);
    void UpdateAudioState();
    void OnReceiverAudio(CnxK740RXReceiver* receiver, WPARAM block, LPARAM bytes);
    void OnPlayerAudio(WPARAM samples, LPARAM bytes);
    void SetRecording(bool on);
    // The Record switch shows how long it has been recording.
    void ShowRecordingTime();

    // Remote control (CMainWindowsRemote.cpp)
    void StartRemoteControl();
    void SetRemoteControl(bool on);
    void ReportRemoteControlFailures();
    void ShowRemoteControl();
    HWND GetMessageWindow() override;
    int GetSelectedSlot() override;
    bool HasReceiver(int slot) override;
    bool IsRadioConnected(int slot) override;
    SnxRemoteFrequencyRange GetFrequencyRange(int slot) override;
    int32_t GetFrequency(int slot) override;
    double GetLevelDbm(int slot) override;
    int GetRawLevel(int slot) override;
    bool GetSlotAttenuator(int slot) override;
    bool GetRFAmplifier(int slot) override;
    int32_t GetPassband(int slot) override;
    int32_t GetScanStep() override;
    void SetSlotAttenuator(int slot, bool on) override;

    // The knob box (CMainWindowsKnobBox.cpp)
    void SetupKnobBox();
    bool IsReceiverPresent() const override;
    void TuneBy(int32_t deltaHz) override;
    void ChangeVolume(int steps) override;
    void MoveGraphView(int steps) override;
    void SelectChannelSteps(bool channelSteps) override;

    // Metering (CMainWindowsMetering.cpp)
    void PollLevel();
    void ShowLevel();
    CnxCtrlSMeter* SelectedMeter() const;
    void OpenCalibrationWindow();
    void CloseCalibrationWindow();

    // Receivers (CMainWindowsReceivers.cpp)
    CnxK740RXReceiver* CurrentReceiver() const;
    int IndexOf(const CnxK740RXReceiver* receiver) const;
    void OnListSelection(void* sender, const SnxK740RXInfoListItem* item);
    void OnConnection(CnxK740RXReceiver* receiver, bool connected);
    int FreeDisconnectionPlace() const;
    void OnSwitchToDemo(CnxK740RXReceiver* receiver);
    void OnRadioBack(CnxK740RXReceiver* receiver, bool back);
    void OnTakeBackRadio(CnxK740RXReceiver* receiver);
    void OpenReceiverListWindow();
    void OpenAboutWindow();
    void CloseAboutWindow();
    std::string SerialOf(const CnxK740RXReceiver* receiver) const;

    TmyApplication& app_;
    std::unique_ptr<CnxK740RXFileIniApp> settings_;
    std::unique_ptr<CnxInterfaceDll> exceptionLibrary_;
    std::unique_ptr<CnxInterfaceDll> driverLibrary_;
    std::unique_ptr<CnxThreadSplash> splash_;
    std::unique_ptr<CnxK740RXCalibratorSMeter> calibrator_;
    std::unique_ptr<CnxK740RX_ReceiverManager> manager_;
    std::unique_ptr<CnxK740RXDlgAbout> about_;
    std::unique_ptr<CnxK740RXDlgHelp> help_;
    std::unique_ptr<CnxK740RXDlgCalibration> calibration_;
    std::unique_ptr<CFIR2> filter_;
    std::unique_ptr<CSndAudioPath> audioPath_;
    std::unique_ptr<CSndWavePlayer> player_;
    std::unique_ptr<CmqVqbMixerCom> mixer_;
    std::unique_ptr<CmqKnobBoxMapping> knobBox_;
    std::unique_ptr<CnxMarkerStore> markers_;
    std::unique_ptr<CnxRemoteControl> remote_;
    std::array<SnxReceiverSlot, kMaxReceivers> slots_;
    CnxScanRun scanRun_;

    bool initOk_ = true;
    bool ready_ = false;
    bool closePending_ = false;
    bool destroyed_ = false;
    bool toldSettingsNotSaved_ = false;
    bool selecting_ = false;
    bool frequencyChanged_ = false;
    int receiverCount_ = 0;
    int32_t upperLimit_ = 173500000;
    int32_t knobStep_ = 375000;
    int32_t scanStep_ = 375000;
    double level_ = -130.0;
    std::string splashText_;
    std::string title_;
    QSize minimumTrackSize_;
    QDateTime recordingSince_;

    // Controls, owned by the window through Qt's parent chain.
    CnxK740RXCtrlReceiverManager* receiverList_ = nullptr;
    CnxCtrlFrequency* frequencyEntry_ = nullptr;
    CnxCtrlKnob* knob_ = nullptr;
    CnxCtrlFrequencyBand* bandDisplay_ = nullptr;
    QPushButton* channelButton_ = nullptr;
    QPushButton* attenButton_ = nullptr;
    QPushButton* monitorButton_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    QPushButton* remoteButton_ = nullptr;
    QPushButton* rfAmpButton_ = nullptr;
    QSlider* volumeSlider_ = nullptr;
    QStackedWidget* meterStack_ = nullptr;
    QStackedWidget* scanStack_ = nullptr;
    CnxCtrlSpectrumPanel* spectrum_ = nullptr;
};
