#pragma once
// The main window and conductor of the program. It keeps the order of construction (settings,
// libraries, splash, calibration, receivers, then the controls and the controllers), lays the
// window out, runs the timers, routes the receivers' messages and the controls' events to the
// controllers that own what they are about, and shuts everything down in order. It owns no
// receiver's state itself: tuning, scans, listening and the slots each have their controller.
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "app/InxOperatorNotices.h"
#include "app/SnxReceiverSlot.h"
#include "core/TmyComponent.h"
#include "core/TmyEvents.h"
#include "settings/K740RXSlots.h"

class TmyApplication;
class CnxActivityController;
class CnxCtrlActivityList;
class CnxCtrlSMeter;
class CnxCtrlSpectrumPanel;
class CnxCtrlTuningPanel;
class CnxInterfaceDll;
class CnxK740RXCalibratorSMeter;
class CnxK740RXCtrlReceiverManager;
class CnxK740RXDlgAbout;
class CnxK740RXDlgHelp;
class CnxK740RXFileIniApp;
class CnxK740RX_ReceiverManager;
class CnxListeningController;
class CnxMainViews;
class CnxOverviewPanel;
class CnxRemoteAdapter;
class CnxRepaintMeter;
class CnxScanController;
class CnxScannerPage;
class CnxSlotsController;
class CnxThreadSplash;
class CnxTuningController;
class CFIR2;
class QStackedWidget;
struct TmyMessage;

class CMainWindows : public QWidget, public TmyComponent, private InxOperatorNotices {
public:
    static constexpr UINT kTimerDeferredStart = 1;
    static constexpr UINT kTimerReceiverWatch = 2;
    static constexpr UINT kTimerLevelPoll = 3;
    static constexpr UINT kTimerReceiversReady = 4;
    static constexpr UINT kTimerSettingsSave = 5;

    // First stage: settings, libraries, splash, calibration and receivers.
    explicit CMainWindows(TmyApplication& app);
    ~CMainWindows() override;

    bool IsInitOk() const { return initOk_; }
    // Second stage: controls, controllers, receiver list, the window shown, deferred start armed.
    void Build();
    void ApplySavedPlacement();
    void SelectReceiver(int index, bool force = false);
    void OpenHelp();

    bool IsReady() const { return ready_; }
    bool IsClosePending() const { return closePending_; }

    // The pieces, for the entry point and the window's tests.
    CnxK740RXFileIniApp& Settings() { return *settings_; }
    CnxK740RX_ReceiverManager* Manager() { return manager_.get(); }
    CnxTuningController& Tuning() { return *tuning_; }
    CnxScanController& Scans() { return *scans_; }
    CnxListeningController& Listening() { return *listening_; }
    CnxSlotsController& Slots() { return *slots_; }
    CnxActivityController& Activity() { return *activity_; }
    CnxCtrlActivityList& ActivityList() { return *activityList_; }
    CnxCtrlTuningPanel& TuningPanel() { return *tuningPanel_; }
    CnxK740RXCtrlReceiverManager& ReceiverList() { return *receiverList_; }
    CnxScannerPage& ScannerPage(int slot) { return *slotRecords_.at(size_t(slot)).page; }
    CnxCtrlSMeter& Meter(int slot) { return *slotRecords_.at(size_t(slot)).meter; }
    CnxMainViews& Views() { return *views_; }
    CnxOverviewPanel& Overview() { return *overview_; }
    // The program's own manual window, opened by Help where no browser can be launched.
    CnxK740RXDlgHelp* HelpWindow() const { return help_.get(); }

protected:
    void OnWindowMessage(const TmyMessage& message) override;
    void OnTimer(UINT id) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel anywhere over the window turns the knob, by the knob's own rule.
    void wheelEvent(QWheelEvent* event) override;

private:
    // Start-up and shutdown.
    void SplashStatus(const std::string& text, bool append);
    void SplashProgress(int percent);
    void SplashFinish();
    void SetupApplication();
    void SetupCalibration();
    bool SetupReceivers();
    void BuildControls();
    void BuildControllers();
    void RouteEvents();
    void RouteActivityEvents();
    void DeferredStart();
    void OnReceiversReadyPoll();
    void OnClose();
    void Destroy();
    // Writes what changed since the last save; the operator hears once when that fails.
    void SaveSettings();

    void UpdateControlsEnabled();
    bool HandleKey(const QKeyEvent& event);
    void RouteReceiverMessage(const TmyMessage& message);
    void OpenAboutWindow();
    // Where the keys go once a view is shown: another than the selected receiver's, or that.
    void KeepKeysFor(bool otherView);
    // The window's placement and inner layout into the settings.
    void CapturePlacement();

    void Tell(const QString& caption, const QString& text) override;

    TmyApplication& app_;
    std::unique_ptr<CnxK740RXFileIniApp> settings_;
    std::unique_ptr<CnxInterfaceDll> exceptionLibrary_;
    std::unique_ptr<CnxInterfaceDll> driverLibrary_;
    std::unique_ptr<CnxThreadSplash> splash_;
    std::unique_ptr<CnxK740RXCalibratorSMeter> calibrator_;
    std::unique_ptr<CnxK740RX_ReceiverManager> manager_;
    std::unique_ptr<CFIR2> filter_;
    std::unique_ptr<CnxK740RXDlgAbout> about_;
    std::unique_ptr<CnxK740RXDlgHelp> help_;
    std::unique_ptr<CnxScanController> scans_;
    std::unique_ptr<CnxTuningController> tuning_;
    std::unique_ptr<CnxListeningController> listening_;
    std::unique_ptr<CnxSlotsController> slots_;
    std::unique_ptr<CnxRemoteAdapter> remote_;
    std::unique_ptr<CnxRepaintMeter> repaints_;
    std::unique_ptr<CnxActivityController> activity_;

    bool initOk_ = true;
    bool ready_ = false;
    bool closePending_ = false;
    bool destroyed_ = false;
    bool toldSettingsNotSaved_ = false;
    std::string splashText_;
    QSize minimumTrackSize_;

    // Controls, owned by the window through Qt's parent chain.
    CnxK740RXCtrlReceiverManager* receiverList_ = nullptr;
    CnxCtrlTuningPanel* tuningPanel_ = nullptr;
    CnxCtrlSpectrumPanel* spectrum_ = nullptr;
    CnxCtrlActivityList* activityList_ = nullptr;
    QStackedWidget* meterStack_ = nullptr;
    QStackedWidget* scanStack_ = nullptr;
    CnxOverviewPanel* overview_ = nullptr;
    CnxMainViews* views_ = nullptr;
    std::array<SnxReceiverSlot, kK740RXSlotCount> slotRecords_{};
    TmySubscriptions subscriptions_;  // last: undone first
};
