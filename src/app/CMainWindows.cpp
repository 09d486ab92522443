// Start-up, the message and timer routing, close handling and shutdown of the main window.
#include "app/CMainWindows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <limits>
#include <system_error>
#include <vector>

#include "app/CnxCtrlFrequency.h"
#include "app/CnxK740RXDlgAbout.h"
#include "app/CnxK740RXDlgDisconnected.h"
#include "app/CnxK740RXDlgHelp.h"
#include "app/CnxK740RXDlgRadioBack.h"
#include "app/CnxThreadSplash.h"
#include "app/CnxWindowPlacement.h"
#include "app/K740RXAppLog.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "core/CnxInterfaceDll.h"
#include "core/TmyApplication.h"
#include "mixer/CmqKnobBoxMapping.h"
#include "mixer/CmqVqbMixerCom.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "receiver/K740RXReceiverMessages.h"
#include "remote/CnxRemoteControl.h"
#include "scanner/CnxMarkerStore.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxK740RXDlgCalibration.h"
#include "spectrum/CFIR2Factory.h"
#include "spectrum/CWindow.h"

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
constexpr UINT kWindowPlacementLength = 44;  // size of the platform's placement record
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
}  // namespace

CMainWindows::CMainWindows(TmyApplication& app) : QWidget(nullptr), app_(app) {
    setWindowTitle(QStringLiteral(" K740RX Sonobuoy Receiver"));
    resize(kInitialWidth, kInitialHeight);
    settings_ = std::make_unique<CnxK740RXFileIniApp>();
    audioPath_ = std::make_unique<CSndAudioPath>();
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
    SetupKnobBox();
}

CMainWindows::~CMainWindows() {
    Destroy();
}

void CMainWindows::SplashStatus(const std::string& text, bool append) {
    qCDebug(lcApp) << "start-up:" << text.c_str();
    if (!splash_) {
        return;
    }
    splashText_ = append ? splashText_ + text : text;
    splash_->SetText(splashText_, 0);
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
    if (calibrator_) {
        SplashStatus("Initializing failed", true);
        return;
    }
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
    title_ = "K740RX Sonobuoy Receiver ";
    // Without its receiver manager the program has nothing to control. Only a lack of memory or
    // of threads keeps it from being made; the start then ends without a word to the operator.
    try {
        manager_ = std::make_unique<CnxK740RX_ReceiverManager>(
            kMaxReceivers, settings_.get(), GetHandle(), calibrator_.get(), splash_.get());
        manager_->CloseAll();
        manager_->Accept();
    } catch (const std::exception& error) {
        qCWarning(lcApp) << "The receivers cannot be set up:" << error.what();
        manager_.reset();
        return false;
    }
    // Accept gave each radio its own values in the slot it has now.
    for (int i = 0; i < kMaxReceivers; ++i) {
        slots_[i].frequency = settings_->Receiver(i).frequency;
    }
    receiverCount_ = manager_->GetReceiverCount();
    settings_->SetNoHardware(manager_->IsDemoMode() ? 1 : 0);
    SplashStatus("\nReceiver Count " + std::to_string(receiverCount_), true);

    manager_->SetSelected(0);
    const std::string serial = SerialOf(manager_->GetReceiver(0));
    title_ += (serial == "DEMO" ? "#" : "") + serial;
    setWindowTitle(QString::fromStdString(title_));
    return true;
}

void CMainWindows::Build() {
    BuildControls();
    FillReceiverList();
    LoadMarkers();
    SetMonitor(settings_->Current().mute != 0, true);
    SetVolume(settings_->Current().volume, true);
    SelectReceiver(settings_->GetSelectedReceiver(), true);
    // Never smaller than at the start, where the graph's scale and the meter read well, nor than
    // the controls need side by side, which can be wider than that.
    ensurePolished();  // the style sheets decide the controls' sizes
    setMinimumSize(minimumTrackSize_.expandedTo(minimumSizeHint()));
    show();
    // The read-out holds the focus from the start: digits open it, everything else goes on to
    // the window's keyboard table.
    frequencyEntry_->setFocus();
    qCInfo(lcApp) << "main window shown:" << windowTitle();
    SetTimer(kTimerDeferredStart, 50);
    raise();
    activateWindow();
}

void CMainWindows::DeferredStart() {
    KillTimer(kTimerDeferredStart);
    HookControlEvents();
    SplashStatus("Initializing audio devices", false);
    // A close already asked for opens no sound device or server just to shut it again, and no
    // sound-card box holds the end up.
    if (!closePending_) {
        StartAudio();
    }
    UpdateAudioState();
    SplashProgress(100);
    const int index = settings_->GetSelectedReceiver();
    FrequencySet(index, settings_->Current().frequency, true);
    SetStep(IsChannelMode() ? 375000 : 10000, true);
    scanStep_ = 375000;
    if (!closePending_) {
        StartRemoteControl();
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

void CMainWindows::OnTimer(UINT id) {
    switch (id) {
        case kTimerDeferredStart:
            DeferredStart();
            break;
        case kTimerReceiverWatch:
            if (manager_) {
                manager_->IsDevicesConected();
            }
            break;
        case kTimerLevelPoll:
            PollLevel();
            ShowSweep();
            ShowRecordingTime();
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
    auto* receiver = reinterpret_cast<CnxK740RXReceiver*>(m.wParam);
    switch (m.message) {
        case WM_CLOSE:
            OnClose();
            break;
        case WM_MAIN_SET_ATTENUATOR:
            SetAttenuator(m.wParam != 0);
            break;
        case WM_MAIN_SET_RF_AMPLIFIER:
            SetRFAmplifier(true);
            break;
        case WM_MAIN_FREQUENCY_SET:
            if (m.wParam < WPARAM(receiverCount_)) {
                FrequencySet(int(m.wParam), int32_t(m.lParam));
            }
            break;
        case WM_RCV_CONNECTION:
            OnConnection(receiver, m.lParam != 0);
            break;
        case WM_RCV_SCAN_END:
            OnScanEnd(receiver);
            break;
        case WM_MAIN_CLOSE_ABOUT:
            CloseAboutWindow();
            break;
        case WM_CAL_CLOSE:
            CloseCalibrationWindow();
            break;
        case WM_CAL_OFFSET:
            SetSMeterCal(int32_t(m.wParam));
            break;
        case WM_MAIN_SWITCH_TO_DEMO:
            OnSwitchToDemo(receiver);
            break;
        case WM_RCV_RADIO_BACK:
            OnRadioBack(receiver, m.lParam != 0);
            break;
        case WM_MAIN_TAKE_BACK_RADIO:
            OnTakeBackRadio(receiver);
            break;
        case WM_MAIN_SET_SCAN_STEP:
            scanStep_ = int32_t(m.wParam);
            break;
        case WM_RCV_SCAN_LEVEL:
            OnScanLevel(reinterpret_cast<CnxK740RXReceiver*>(m.lParam),
                        ScanSample::Unpack(m.wParam));
            break;
        case WM_RCV_AUDIO_BLOCK:
            if (const auto* block = reinterpret_cast<const AudioBlock*>(m.wParam)) {
                OnReceiverAudio(static_cast<CnxK740RXReceiver*>(const_cast<void*>(block->source)),
                                m.wParam, m.lParam);
            }
            break;
        case WM_AUDIO_BLOCK:
            OnPlayerAudio(m.wParam, m.lParam);
            break;
        default:
            break;
    }
}

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
    CloseAboutWindow();
    CloseCalibrationWindow();
    help_.reset();
    SplashFinish();
    hide();
    app_.Quit();
}

void CMainWindows::ApplySavedPlacement() {
    const SnxWindowPlacement& p = settings_->Placement();
    if (p.length == 0) {
        return;
    }
    if (p.right > p.left && p.bottom > p.top) {
        std::vector<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens()) {
            areas.push_back(screen->availableGeometry());
        }
        // 64-bit: a hand-edited file may hold any two numbers.
        const QRect saved(p.left, p.top, int(std::min<int64_t>(int64_t(p.right) - p.left, INT_MAX)),
                          int(std::min<int64_t>(int64_t(p.bottom) - p.top, INT_MAX)));
        setGeometry(CnxWindowPlacement::Fit(saved, minimumSize(), areas));
    }
    if (p.showCmd == kShowMaximized) {
        showMaximized();
    } else if (p.showCmd == kShowMinimized) {
        showMinimized();
    }
}

void CMainWindows::SavePlacement() {
    SnxWindowPlacement& p = settings_->Placement();
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.length = kWindowPlacementLength;
    p.flags = 0;
    p.showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    p.minX = p.minY = p.maxX = p.maxY = -1;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
}

void CMainWindows::SaveSettings() {
    SavePlacement();
    if (settings_->Save() || toldSettingsNotSaved_) {
        return;
    }
    toldSettingsNotSaved_ = true;
    const QString reason =
        QString::fromStdString(std::generic_category().message(settings_->GetLastErrorNumber()));
    qCWarning(lcApp) << "Settings not saved:" << settings_->GetLastError().c_str();
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral(" Settings not saved"),
        QStringLiteral("The settings cannot be written to\n%1\n(%2).\n\nWhat you change now is "
                       "lost when the program ends.")
            .arg(QString::fromStdString(settings_->GetFilePath()), reason),
        QMessageBox::Ok, this);
    // It informs; the receivers go on being watched and played meanwhile.
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void CMainWindows::Destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    if (initOk_) {
        SavePlacement();
    }
    KillTimer(kTimerLevelPoll);
    KillTimer(kTimerReceiverWatch);
    KillTimer(kTimerReceiversReady);
    KillTimer(kTimerDeferredStart);
    KillTimer(kTimerSettingsSave);
    about_.reset();
    help_.reset();
    calibration_.reset();
    remote_.reset();  // its servers ask the receivers
    StopAudio();
    for (SnxReceiverSlot& slot : slots_) {
        slot.disconnected.reset();
    }
    manager_.reset();  // stops the receivers and their threads
    calibrator_.reset();
    splash_.reset();
    TmySleep(250);
    driverLibrary_.reset();
    exceptionLibrary_.reset();
    knobBox_.reset();  // before the unit it listens to
    mixer_.reset();
    filter_.reset();
    settings_.reset();  // writes the settings file
}
