#include "app/CMainWindows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QIcon>
#include <QMessageBox>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <system_error>

#include "activity/CnxCtrlActivityList.h"
#include "app/CnxActivityController.h"
#include "app/CnxK740RXDlgAbout.h"
#include "app/CnxK740RXDlgHelp.h"
#include "app/CnxListeningController.h"
#include "app/CnxMainViews.h"
#include "app/CnxOverviewPanel.h"
#include "app/CnxRemoteAdapter.h"
#include "app/CnxRepaintMeter.h"
#include "app/CnxScanController.h"
#include "app/CnxSlotsController.h"
#include "app/CnxThreadSplash.h"
#include "app/CnxTuningController.h"
#include "app/CnxWindowPlacement.h"
#include "app/K740RXAppLog.h"
#include "app/K740RXAppMessages.h"
#include "audio/K740RXAudioMessages.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "core/CnxInterfaceDll.h"
#include "core/K740RXExternalMessages.h"
#include "core/TmyApplication.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "receiver/K740RXReceiverMessages.h"
#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxScannerPage.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxFrequencyBandList.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "smeter/K740RXSMeterMessages.h"
#include "spectrum/CFIR2Factory.h"
#include "spectrum/CWindow.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"
#include "tuning/CnxCtrlFrequency.h"
#include "tuning/CnxCtrlKnob.h"
#include "tuning/CnxCtrlTuningPanel.h"
#include "tuning/CnxMainWindowKeys.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kInitialWidth = 792;
constexpr int kInitialHeight = 574;
// Once the operator has asked to close, readiness is looked at this often, whatever `itime` says.
constexpr UINT kClosePendingPoll = 100;
// Settings changed during the run reach the file within this time, so that an end without a
// proper shutdown (a lost display, a power cut) loses little.
constexpr UINT kSettingsSavePeriod = 3000;

// A period as the platform's timers take it: read unsigned and capped, at least 10 ms.
UINT TimerPeriod(int32_t ms) {
    return ms < 0 ? UINT(std::numeric_limits<int32_t>::max()) : UINT(std::max(ms, 10));
}
}  // namespace

// ---- start-up ----

CMainWindows::CMainWindows(TmyApplication& app) : QWidget(nullptr), app_(app) {
    setWindowTitle(QStringLiteral(" K740RX Sonobuoy Receiver"));
    resize(kInitialWidth, kInitialHeight);
    settings_ = std::make_unique<CnxK740RXFileIniApp>();
    exceptionLibrary_ = std::make_unique<CnxInterfaceDll>("myexcept.dll");
    driverLibrary_ = std::make_unique<CnxInterfaceDll>("QVK740RXAPI.dll");
    if (!g_optNSplash.present) {
        splash_ = std::make_unique<CnxThreadSplash>(this);
    }
    SplashStatus("Initializing application", false);
    SetupApplication();
    SplashProgress(13);

    SplashStatus("Calibration Initializing", false);
    SetupCalibration();
    SplashProgress(26);

    SplashStatus("Receivers Initializing", false);
    SetTimer(kTimerReceiversReady, TimerPeriod(g_optITime.value));
    if (!SetupReceivers()) {
        initOk_ = false;
        return;
    }
    TmySleep(2000);
    SetTimer(kTimerReceiverWatch, 100);
    SetTimer(kTimerLevelPoll, 150);
    SetTimer(kTimerSettingsSave, kSettingsSavePeriod);
    SplashStatus("Loading help", false);
    SplashProgress(95);
}

CMainWindows::~CMainWindows() {
    Destroy();
}

void CMainWindows::SplashStatus(const std::string& text, bool append) {
    qCDebug(lcApp) << "start-up:" << text.c_str();
    if (splash_) {
        splashText_ = append ? splashText_ + text : text;
        splash_->SetText(splashText_, 0);
    }
}

void CMainWindows::SplashProgress(int percent) {
    if (splash_) {
        splash_->SetPosition(percent);
    }
}

void CMainWindows::SplashFinish() {
    if (!splash_) {
        return;
    }
    SplashStatus("Finish", false);
    TmySleep(1000);
    splash_.reset();
    raise();
    activateWindow();
}

void CMainWindows::SetupApplication() {
    const QIcon icon(QCoreApplication::applicationDirPath() + QStringLiteral("/k740rx.png"));
    QGuiApplication::setWindowIcon(icon);  // the dialogs carry it as well
    setWindowIcon(icon);
    minimumTrackSize_ = size();
    // Kept ready for the audio: a 16 kHz low-pass of 96 taps at 48000 samples per second.
    filter_ = CFIR2Factory::Create();
    filter_->SetFftSize(16384);
    filter_->SetFilterType(CFIR2::kLowPass);
    filter_->SetTaps(96);
    filter_->SetSampleRate(48000);
    filter_->SetFrequency(16000);
    filter_->SetWindowType(CWindow::kBlackman);
}

void CMainWindows::SetupCalibration() {
    const std::string dir = settings_->GetProgramDir();
    auto calibrator = std::make_unique<CnxK740RXCalibratorSMeter>((dir + "/smetersdk.dll").c_str(),
                                                                  dir + "/qvk74m.cal");
    if (!calibrator->IsLoaded()) {
        SplashStatus("Initializing failed", true);
        return;
    }
    calibrator->SetMode(3);
    calibrator_ = std::move(calibrator);
    SplashStatus("Calibration ready", true);
}

bool CMainWindows::SetupReceivers() {
    // Without its receiver manager the program has nothing to control. Only a lack of memory or
    // of threads keeps it from being made; the start then ends without a word to the operator.
    try {
        manager_ = std::make_unique<CnxK740RX_ReceiverManager>(
            kK740RXSlotCount, settings_.get(), GetHandle(), calibrator_.get(), splash_.get());
        manager_->CloseAll();
        manager_->Accept();
    } catch (const std::exception& error) {
        qCWarning(lcApp) << "The receivers cannot be set up:" << error.what();
        manager_.reset();
        return false;
    }
    settings_->SetNoHardware(manager_->IsDemoMode() ? 1 : 0);
    SplashStatus("\nReceiver Count " + std::to_string(manager_->GetReceiverCount()), true);
    const CnxK740RXReceiver* first = manager_->SetSelected(0);
    const std::string serial =
        first != nullptr ? std::string(first->GetCurrentRadioInfo().serial,
                                       strnlen(first->GetCurrentRadioInfo().serial,
                                               sizeof first->GetCurrentRadioInfo().serial))
                         : "DEMO";
    setWindowTitle(QStringLiteral("K740RX Sonobuoy Receiver %1%2")
                       .arg(serial == "DEMO" ? QStringLiteral("#") : QString(),
                            QString::fromStdString(serial)));
    return true;
}

void CMainWindows::Build() {
    BuildControls();
    BuildControllers();
    RouteEvents();
    slots_->FillList();
    listening_->SetMonitor(settings_->Current().mute != 0, true);
    listening_->SetVolume(settings_->Current().volume, true);
    SelectReceiver(settings_->GetSelectedReceiver(), true);
    // Never smaller than at the start, where the graph's scale and the meter read well, nor than
    // the controls need side by side, which can be wider than that.
    ensurePolished();  // the style sheets decide the controls' sizes
    setMinimumSize(minimumTrackSize_.expandedTo(minimumSizeHint()));
    show();
    if (CnxRepaintMeter::IsWanted()) {
        repaints_ = std::make_unique<CnxRepaintMeter>(*this);
    }
    // The read-out holds the focus from the start: digits open it, everything else goes on to
    // the window's keyboard table.
    tuningPanel_->Entry().setFocus();
    qCInfo(lcApp) << "main window shown:" << windowTitle();
    SetTimer(kTimerDeferredStart, 50);
    raise();
    activateWindow();
}

// The receivers on the left; on the right the selected receiver's view (tuning, channel and
// S-meter across the top; the scan view in the middle, taking the growth; the spectrum below) or
// the overview of all receivers.
void CMainWindows::BuildControls() {
    TmyColorScheme::Default().ApplyTo(*this);
    receiverList_ = new CnxK740RXCtrlReceiverManager(this);
    receiverList_->setFixedWidth(std::max(176, receiverList_->minimumSizeHint().width()));
    EnsureDefaultBandFile(settings_->GetDataDir(), settings_->GetProgramDir() + "/Channels.csv");
    tuningPanel_ = new CnxCtrlTuningPanel(settings_->GetBandFilePath(), this);

    auto* meterPanel = new QFrame(this);
    meterPanel->setObjectName(QStringLiteral("panel"));
    meterStack_ = new QStackedWidget(meterPanel);
    meterStack_->setStyleSheet(QStringLiteral("background: transparent;"));
    auto* meterLayout = new QVBoxLayout(meterPanel);
    meterLayout->setContentsMargins(4, 4, 4, 4);
    meterLayout->addWidget(meterStack_);
    scanStack_ = new QStackedWidget(this);
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        SnxReceiverSlot& record = slotRecords_[size_t(slot)];
        record.meter = new CnxCtrlSMeter(meterStack_);
        meterStack_->addWidget(record.meter);
        record.page = new CnxScannerPage(scanStack_, slot);
        record.page->Graph().SetSettings(settings_.get());
        scanStack_->addWidget(record.page);
    }
    spectrum_ = new CnxCtrlSpectrumPanel(this);
    spectrum_->SetFormat(CnxListeningController::kOutputRate);

    auto* topRow = new QWidget(this);
    auto* top = new QHBoxLayout(topRow);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(8);
    top->addWidget(tuningPanel_, 8);
    top->addWidget(meterPanel, 4);
    CnxMainViews::Pages pages{};
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        pages[size_t(slot)] = slotRecords_[size_t(slot)].page;
    }
    overview_ = new CnxOverviewPanel(this, pages);
    activityList_ = new CnxCtrlActivityList(this);  // a view of its own, the third tab
    views_ =
        new CnxMainViews(this, {topRow, scanStack_, spectrum_, overview_, pages, activityList_});
    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(8);
    main->addWidget(receiverList_);
    main->addWidget(views_, 1);
}

void CMainWindows::BuildControllers() {
    scans_ = std::make_unique<CnxScanController>(*settings_, *manager_, calibrator_.get());
    tuning_ = std::make_unique<CnxTuningController>(*settings_, *manager_, calibrator_.get(),
                                                    *scans_, *tuningPanel_);
    CnxListeningController::Meters meters{};
    CnxSlotsController::Graphs graphs{};
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        meters[size_t(slot)] = slotRecords_[size_t(slot)].meter;
        graphs[size_t(slot)] = &slotRecords_[size_t(slot)].page->Graph();
        scans_->SetView(slot, slotRecords_[size_t(slot)].page);
    }
    InxOperatorNotices& notices = *this;
    listening_ =
        std::make_unique<CnxListeningController>(*settings_, *manager_, *scans_, notices, *this,
                                                 GetHandle(), *tuningPanel_, *spectrum_, meters);
    slots_ = std::make_unique<CnxSlotsController>(*settings_, *manager_, *receiverList_, graphs,
                                                  notices, *this, GetHandle());
    remote_ = std::make_unique<CnxRemoteAdapter>(
        *settings_, *manager_, CnxRemoteAdapter::Controllers{*tuning_, *scans_, *listening_},
        *tuningPanel_, notices, GetHandle());
    remote_->StartKnobBox();
    overview_->SetSources({*scans_, *tuning_, *listening_, *slots_});
    CnxActivityController::Graphs activityGraphs{};
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        activityGraphs[size_t(slot)] = &slotRecords_[size_t(slot)].page->Graph();
    }
    activity_ = std::make_unique<CnxActivityController>(*settings_, *manager_, *scans_, *listening_,
                                                        notices, activityGraphs);
    activityList_->SetModel(&activity_->Model());
    activity_->SetPanel(activityList_);
}

void CMainWindows::RouteEvents() {
    CnxTuningController& tuning = *tuning_;
    CnxListeningController& listening = *listening_;
    CnxCtrlTuningPanel& panel = *tuningPanel_;
    auto& s = subscriptions_;
    s.push_back(panel.Entry().OnFrequencyChanged.Subscribe(
        [&tuning](void*, int32_t f) { tuning.OnEntryFrequency(f); }));
    s.push_back(panel.Entry().OnFrequencySpinChanged.Subscribe(
        [&tuning](void*, int32_t f) { tuning.OnEntrySpin(f); }));
    s.push_back(panel.Entry().OnFrequency375Changed.Subscribe(
        [&tuning](void*, int32_t f) { tuning.OnEntryRaster(f); }));
    s.push_back(panel.Knob().FrequencyKnobChangeStep.Subscribe(
        [&tuning](void*, int32_t step) { tuning.TuneBy(step); }));
    s.push_back(panel.OnChannelModeToggled.Subscribe(
        [&tuning](void*, int32_t on) { tuning.SetChannelMode(on != 0); }));
    s.push_back(panel.OnAttenuatorToggled.Subscribe(
        [&tuning](void*, int32_t on) { tuning.SetAttenuator(on != 0); }));
    s.push_back(panel.OnRfAmplifierToggled.Subscribe(
        [&tuning](void*, int32_t on) { tuning.SetRFAmplifier(on != 0); }));
    s.push_back(panel.OnMonitorToggled.Subscribe(
        [&listening](void*, int32_t on) { listening.SetMonitor(on != 0); }));
    s.push_back(panel.OnRecordToggled.Subscribe(
        [&listening](void*, int32_t on) { listening.SetRecording(on != 0); }));
    s.push_back(panel.OnVolumeChanged.Subscribe(
        [&listening](void*, int32_t volume) { listening.SetVolume(volume); }));
    s.push_back(panel.OnRemoteToggled.Subscribe(
        [this](void*, int32_t on) { remote_->SetRemoteControl(on != 0); }));
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        const SnxReceiverSlot& record = slotRecords_[size_t(slot)];
        s.push_back(record.meter->OnAttenuatorClicked.Subscribe(
            [&tuning](void*, int32_t on) { tuning.SetAttenuator(on != 0); }));
        s.push_back(record.page->Scanner().OnScanCommand.Set(
            [this, slot](void*, int32_t mode) { scans_->Command(slot, mode); }));
        s.push_back(record.page->Scanner().OnLoopChanged.Set(
            [this, slot](void*, int32_t loop) { scans_->SetLoop(slot, loop != 0); }));
        s.push_back(record.page->OnPlanAsked.Subscribe(
            [this, slot](void*, const SnxScanPlan& plan) { scans_->SetPlan(slot, plan); }));
        s.push_back(record.page->Graph().OnLockOutAsked.Subscribe(
            [this, slot](void*, int channel) { scans_->SetLockedOut(slot, channel, true); }));
        s.push_back(record.page->Graph().OnUnlockAsked.Subscribe([this, slot](void*, int channel) {
            channel == 0 ? scans_->UnlockAll(slot) : scans_->SetLockedOut(slot, channel, false);
        }));
    }
    s.push_back(receiverList_->OnHelp.Subscribe([this](void*, int32_t) { OpenHelp(); }));
    s.push_back(receiverList_->OnAbout.Subscribe([this](void*, int32_t) { OpenAboutWindow(); }));
    s.push_back(receiverList_->OnInfo.Subscribe(
        [this](void*, int32_t) { slots_->OpenReceiverListWindow(); }));
    s.push_back(receiverList_->OnCal.Subscribe(
        [&listening](void*, int32_t) { listening.OpenCalibrationWindow(); }));
    s.push_back(
        slots_->OnSelectionAsked.Subscribe([this](void*, int slot) { SelectReceiver(slot); }));
    s.push_back(overview_->OnSlotChosen.Subscribe([this](void*, int slot) {
        SelectReceiver(slot);
        views_->ShowOverview(false);
    }));
    s.push_back(views_->OnViewChanged.Subscribe(
        [this](void*, int view) { KeepKeysFor(view != CnxMainViews::kSelectedView); }));
    s.push_back(slots_->OnConnectionChanged.Subscribe([this](void*, int slot) {
        if (!slots_->IsConnected(slot)) {
            listening_->ReceiverLost(slot);
            activity_->ReceiverLost(slot);
        }
        UpdateControlsEnabled();
    }));
    s.push_back(scans_->OnStateChanged.Subscribe([this](void*, int slot) {
        activity_->ScanStateChanged(slot);
        listening_->ScanStateChanged(slot);  // before the retune, which picks the demo sound
        tuning_->ScanStateChanged(slot);
        UpdateControlsEnabled();
    }));
    s.push_back(tuning.OnSlotFrequencyChanged.Subscribe([this](void*, int slot) {
        receiverList_->SetItemFrequency(slot, tuning_->GetFrequency(slot));
    }));
    s.push_back(
        tuning.OnSelectedTuned.Subscribe([&listening](void*, int32_t f) { listening.Tuned(f); }));
    s.push_back(tuning.OnAttenuatorChanged.Subscribe(
        [&listening](void*, int32_t on) { listening.ShowAttenuator(on != 0); }));
    s.push_back(tuning.OnChannelStepsChanged.Subscribe([this](void*, int32_t on) {
        remote_->ShowChannelSteps(on != 0);
        scans_->ShowPlan(settings_->GetSelectedReceiver());  // in channels or frequencies
    }));
    RouteActivityEvents();
}

void CMainWindows::RouteActivityEvents() {
    CnxActivityController& activity = *activity_;
    auto& s = subscriptions_;
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        s.push_back(slotRecords_[size_t(slot)].page->Graph().OnThresholdAsked.Subscribe(
            [&activity, slot](void*, double dbm) { activity.SetThreshold(slot, dbm); }));
    }
    s.push_back(activityList_->OnThresholdAsked.Subscribe([this](void*, int32_t dbm) {
        activity_->SetThreshold(settings_->GetSelectedReceiver(), dbm);
    }));
    s.push_back(activityList_->OnRecordHitsAsked.Subscribe([this](void*, int32_t on) {
        activity_->SetRecordHits(settings_->GetSelectedReceiver(), on != 0);
    }));
    // A hit chosen in the list: its receiver is shown and tuned to its channel.
    s.push_back(activityList_->OnHitChosen.Subscribe([this](void*, const SnxActivityHit& hit) {
        SelectReceiver(hit.slot);
        const auto nominal = CnxChannelPlan::FrequencyOfChannel(hit.channel);
        tuning_->FrequencySet(hit.slot, nominal.value_or(int32_t(hit.frequency)));
    }));
    s.push_back(activity.OnOpenHitsChanged.Subscribe(
        [this](void*, int open) { views_->ShowOpenHits(open); }));
    s.push_back(listening_->OnAudioHeard.Subscribe(
        [&activity](void*, const CSndAudioPath::Block* block) { activity.OnAudioHeard(*block); }));
}

void CMainWindows::DeferredStart() {
    KillTimer(kTimerDeferredStart);
    SplashStatus("Initializing audio devices", false);
    // A close already asked for opens no sound device or server just to shut it again, and no
    // sound-card box holds the end up.
    if (!closePending_) {
        listening_->StartAudio();
    }
    SplashProgress(100);
    const int selected = settings_->GetSelectedReceiver();
    tuning_->FrequencySet(selected, tuning_->GetFrequency(selected), true);
    tuning_->SetStep(
        tuning_->IsChannelMode() ? CnxChannelPlan::kSpacing : CnxTuningController::kFineStep, true);
    if (!closePending_) {
        remote_->StartRemoteControl();
    }
    SplashFinish();
    TmySleep(200);
}

void CMainWindows::OnReceiversReadyPoll() {
    if (!manager_ || !manager_->IsAccepted()) {
        return;
    }
    KillTimer(kTimerReceiversReady);
    ready_ = true;
    if (closePending_) {
        PostMessage(GetHandle(), WM_CLOSE, 0, 0);
    }
}

// ---- selection and what follows from it ----

void CMainWindows::SelectReceiver(int index, bool force) {
    if (!slots_ || !slots_->CanSelect(index, force)) {
        return;
    }
    slots_->SetSelecting(true);
    listening_->BeginSelection();
    slots_->Select(index);
    meterStack_->setCurrentIndex(index);
    scanStack_->setCurrentIndex(index);
    listening_->SelectSlot(index);
    tuning_->SelectSlot(index);
    activity_->SelectSlot(index);
    listening_->EndSelection();
    UpdateControlsEnabled();
    slots_->SetSelecting(false);
}

void CMainWindows::UpdateControlsEnabled() {
    const int selected = settings_->GetSelectedReceiver();
    const bool connected = slots_->IsConnected(selected);
    const bool usable = connected && settings_->Current().power != 0;
    // A control greyed under the focus would pass it on to a neighbour that takes Space for
    // itself; the window keeps it instead, so Space still stops the scan. The window's own focus
    // child counts even while a closing dialog has left the window inactive.
    QWidget* focused = focusWidget();
    slotRecords_[size_t(selected)].meter->setEnabled(connected);
    tuningPanel_->EnableControls(usable && !scans_->IsScanning(selected), usable);
    scanStack_->setEnabled(usable);
    if (focused != nullptr && !focused->isEnabled() && isAncestorOf(focused)) {
        setFocus();
    }
}

// ---- timers and messages ----

void CMainWindows::OnTimer(UINT id) {
    switch (id) {
        case kTimerDeferredStart:
            DeferredStart();
            break;
        case kTimerReceiverWatch:
            manager_->IsDevicesConected();
            break;
        case kTimerLevelPoll:
            if (listening_) {
                listening_->PollLevel();
                activity_->Poll();  // after the poll, whose reading it takes
                listening_->ShowRecordingTime();
                tuning_->ShowSweepPosition();
            }
            break;
        case kTimerReceiversReady:
            OnReceiversReadyPoll();
            break;
        case kTimerSettingsSave:
            SaveSettings();
            break;
        default:
            break;
    }
}

void CMainWindows::OnWindowMessage(const TmyMessage& m) {
    if (m.message == WM_CLOSE) {
        OnClose();
        return;
    }
    if (!tuning_) {
        return;  // nothing else is routed before the controllers exist
    }
    switch (m.message) {
        case WM_MAIN_SET_ATTENUATOR:
            tuning_->SetAttenuator(m.wParam != 0);
            break;
        case WM_MAIN_SET_RF_AMPLIFIER:
            tuning_->SetRFAmplifier(true);
            break;
        case WM_MAIN_FREQUENCY_SET:
            if (m.wParam < WPARAM(manager_->GetReceiverCount())) {
                tuning_->FrequencySet(int(m.wParam), int32_t(m.lParam));
            }
            break;
        case WM_MAIN_SET_SCAN_STEP:
            scans_->SetScanStep(m.lParam > 0 ? int(m.lParam - 1) : settings_->GetSelectedReceiver(),
                                int32_t(m.wParam));
            break;
        case WM_MAIN_CLOSE_ABOUT:
            about_.reset();
            break;
        case WM_CAL_CLOSE:
            listening_->CloseCalibrationWindow();
            break;
        case WM_AUDIO_BLOCK:
            listening_->OnPlayerAudio(m.wParam, m.lParam);
            break;
        default:
            RouteReceiverMessage(m);
            break;
    }
}

// Every receiver message names its receiver in wParam.
void CMainWindows::RouteReceiverMessage(const TmyMessage& m) {
    auto* receiver = reinterpret_cast<CnxK740RXReceiver*>(m.wParam);
    const int slot = slots_->SlotOf(receiver);
    if (slot < 0) {
        return;  // not one of ours, or one that is gone
    }
    switch (m.message) {
        case WM_RCV_SCAN_LEVEL:
        case WM_RCV_SCAN_END:
            if (const auto sample = scans_->OnScanMessage(m)) {
                activity_->OnScanSample(slot, *sample);
            }
            break;
        case WM_RCV_AUDIO_BLOCK:
            listening_->OnReceiverAudio(receiver, *reinterpret_cast<const AudioBlock*>(m.lParam));
            break;
        case WM_RCV_CONNECTION:
            slots_->OnConnection(receiver, m.lParam != 0);
            break;
        case WM_RCV_RADIO_BACK:
            slots_->OnRadioBack(receiver, m.lParam != 0);
            break;
        case WM_MAIN_SWITCH_TO_DEMO:
            if (slots_->SwitchToDemo(receiver) >= 0) {
                SelectReceiver(slot, true);
            }
            break;
        case WM_MAIN_TAKE_BACK_RADIO:
            scans_->Stop(slot);
            if (slots_->TakeBackRadio(receiver) >= 0) {
                SelectReceiver(slot, true);
            }
            break;
        default:
            break;
    }
}

// ---- keys ----

void CMainWindows::keyPressEvent(QKeyEvent* event) {
    // Keys a focused control uses itself (typing in a field, Space on a switch) never get here;
    // the rest travel up to the window and its keyboard table.
    if (tuning_ && HandleKey(*event)) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool CMainWindows::HandleKey(const QKeyEvent& event) {
    using Action = CnxMainWindowKeys::Action;
    const auto command = CnxMainWindowKeys::Translate(event.key(), event.modifiers(), event.text());
    switch (command.action) {
        case Action::SelectReceiverBy:
            SelectReceiver(settings_->GetSelectedReceiver() + command.value);
            break;
        case Action::OpenEntry:
            if (tuningPanel_->Entry().isEnabled()) {
                tuningPanel_->Entry().OpenEditWith(QChar(command.character));
            }
            break;
        case Action::VolumeBy:
            listening_->ChangeVolume(command.value);
            break;
        case Action::ToggleScan:
            scans_->Toggle();
            break;
        case Action::KnobStep:
            // Not held back while the knob is greyed by a scan: the tuning rules decide what a
            // scan allows.
            tuningPanel_->Knob().Turn(command.value > 0 ? 1 : 0, 0, false);
            break;
        case Action::FrequencyBy:
            tuning_->TuneBy(command.value);
            break;
        case Action::Help:
            OpenHelp();
            break;
        case Action::ToggleOverview:
            views_->ShowOverview(!views_->IsOverviewShown());
            break;
        case Action::None:
            return false;
    }
    return true;
}

void CMainWindows::wheelEvent(QWheelEvent* event) {
    if (tuningPanel_ != nullptr) {
        tuningPanel_->Knob().Wheel(*event);
    }
    event->accept();
}

void CMainWindows::Tell(const QString& caption, const QString& text) {
    qCWarning(lcApp) << caption.trimmed() << ":" << text;
    auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
    // It informs; the receivers go on being watched and played meanwhile.
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void CMainWindows::OpenHelp() {
    const QString page =
        QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        return;
    }
    // No browser the desktop could hand the page to: the program shows the manual itself.
    if (!help_) {
        help_ = std::make_unique<CnxK740RXDlgHelp>(this, page);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CMainWindows::KeepKeysFor(bool otherView) {
    // The keys go on reaching the window's table: the read-out takes them in the receiver's view,
    // the window itself in the overview and the activity list.
    if (otherView) {
        setFocus();
    } else {
        tuningPanel_->Entry().setFocus();
    }
}

void CMainWindows::OpenAboutWindow() {
    if (!about_) {
        about_ = std::make_unique<CnxK740RXDlgAbout>(this, GetHandle());
    }
    about_->show();
    about_->raise();
}

// ---- closing ----

void CMainWindows::closeEvent(QCloseEvent* event) {
    // The close goes through the same path as a posted WM_CLOSE, which may defer it.
    event->ignore();
    OnClose();
}

void CMainWindows::OnClose() {
    if (!ready_) {
        qCInfo(lcApp) << "close requested before the receivers are ready: deferred";
        closePending_ = true;
        SetTimer(kTimerReceiversReady, kClosePendingPoll);
        return;
    }
    qCInfo(lcApp) << "closing";
    about_.reset();
    help_.reset();
    if (listening_) {
        listening_->CloseCalibrationWindow();
    }
    SplashFinish();
    hide();
    app_.Quit();
}

void CMainWindows::ApplySavedPlacement() {
    CnxWindowPlacement::Apply(*this, settings_->Placement());
    // The splits as the operator left them, in a window of the size it had then.
    layout()->activate();
    views_->Apply(settings_->Layout());
}

void CMainWindows::CapturePlacement() {
    settings_->Placement() = CnxWindowPlacement::Capture(*this);
    if (views_ != nullptr) {
        views_->Capture(settings_->Layout());
    }
}

void CMainWindows::SaveSettings() {
    CapturePlacement();
    if (settings_->Save()) {
        toldSettingsNotSaved_ = false;  // a later failure is a new episode, told again
        return;
    }
    if (toldSettingsNotSaved_) {
        return;
    }
    toldSettingsNotSaved_ = true;
    const QString reason =
        QString::fromStdString(std::generic_category().message(settings_->GetLastErrorNumber()));
    Tell(QStringLiteral(" Settings not saved"),
         QStringLiteral("The settings cannot be written to\n%1\n(%2).\n\nWhat you change now is "
                        "lost when the program ends.")
             .arg(QString::fromStdString(settings_->GetFilePath()), reason));
}

void CMainWindows::Destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    if (initOk_) {
        CapturePlacement();
    }
    for (const UINT timer : {kTimerLevelPoll, kTimerReceiverWatch, kTimerReceiversReady,
                             kTimerDeferredStart, kTimerSettingsSave}) {
        KillTimer(timer);
    }
    subscriptions_.clear();
    repaints_.reset();
    if (overview_ != nullptr) {
        overview_->DropSources();  // it asks the controllers, which go now
    }
    about_.reset();
    help_.reset();
    remote_.reset();  // its servers ask the receivers; the knob box goes before its unit
    if (activityList_ != nullptr) {
        activityList_->SetModel(nullptr);
    }
    activity_.reset();  // its open hits are written as stopped
    listening_.reset();
    slots_.reset();
    tuning_.reset();
    scans_.reset();
    manager_.reset();  // stops the receivers and their threads
    calibrator_.reset();
    splash_.reset();
    TmySleep(250);
    driverLibrary_.reset();
    exceptionLibrary_.reset();
    filter_.reset();
    settings_.reset();  // writes the settings file
}
