#include "receiver/CnxK740RXReceiver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "core/TmyApplication.h"
#include "receiver/CnxK740RXTraceLog.h"
#include "receiver/CnxK740RX_ReceiverThread.h"
#include "receiver/K740RXRadioInfoText.h"
#include "receiver/K740RXReceiverLog.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {

constexpr int kOpenAttempts = 21;
constexpr unsigned kConnectPollMs = 50;
// A radio that opens but never reports itself connected must not hold the window thread.
constexpr unsigned kConnectTimeoutMs = 3000;
constexpr int32_t kDemoNoSignal = -1050;
constexpr int32_t kAttenuatorLoss = 180;
constexpr uint32_t kEepromBytes = 256;
constexpr std::size_t kEepromTopFrequencyOffset = 72;

// Copies as much of the text as fits, always leaving the field NUL-terminated.
void CopyField(char* field, std::size_t size, const std::string& text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

bool HasPrefix(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

CnxK740RXReceiver::CnxK740RXReceiver(const char* libraryFileName, CnxK740RXFileIniApp* settings,
                                     HWND targetWindow, CnxK740RXCalibratorSMeter* calibrator)
    : InxK740RXQvkApi(libraryFileName),
      targetWindow_(targetWindow),
      settings_(settings),
      calibrator_(calibrator),
      messageWindow_("ReceiverMessageWindow",
                     [this](const TmyMessage& message) { OnWindowMessage(message); }) {
    PrefillDemoEntries();
    RebuildScanWalk();
    audioFormat_ = {1, 1, 32000, 64000, 2, 16, 18};
    if (IsLoaded()) {
        Enumerate();
    }
    AllocateAudioBlocks(8192, 45);
}

CnxK740RXReceiver::~CnxK740RXReceiver() {
    Stop();
    Close();
    thread_.reset();  // when the device refused to close, Close left the thread to us
    StopStreams();
    FreeAudioBlocks();
}

void CnxK740RXReceiver::PrefillDemoEntries() {
    for (int n = 0; n < kRadioListSize; ++n) {
        RadioInfo& entry = radioList_[n];
        entry = {};
        entry.length = sizeof(RadioInfo);
        CopyField(entry.serial, sizeof entry.serial, "DEMO");
        // "DEMO [10]" is one character too long for the field and loses its bracket.
        CopyField(entry.productName, sizeof entry.productName,
                  "DEMO [" + std::to_string(n + 1) + "]");
    }
}

// ---- radio list and opening ----

const RadioInfo* CnxK740RXReceiver::GetRadioInfo(int index) const {
    return index >= 0 && index < kRadioListSize ? &radioList_[index] : nullptr;
}

int CnxK740RXReceiver::Enumerate() {
    if (!IsLoaded()) {
        return 0;
    }
    uint32_t reported = 0;
    const int32_t listed =
        K7GetRadioList3(radioList_.data(), static_cast<uint32_t>(sizeof radioList_), &reported);
    const int total = std::clamp(listed, 0, kRadioListSize);
    int pci = 0, usb = 0, serial = 0;
    for (int i = 0; i < total; ++i) {
        const std::string_view product = RadioProductName(radioList_[i]);
        pci += HasPrefix(product, "K7PCI");
        usb += HasPrefix(product, "K7USB");
        serial += HasPrefix(product, "K7SER");
    }
    radioCount_ = total;
    pciCount_ = pci;
    usbCount_ = usb;
    serialCount_ = serial;
    return total;
}

int CnxK740RXReceiver::GetRadioCount(int kind) const {
    switch (kind) {
        case kKindPci:
            return pciCount_;
        case kKindUsb:
            return usbCount_;
        case kKindSerial:
            return serialCount_;
        default:
            return radioCount_;
    }
}

int CnxK740RXReceiver::FindByProductName(const char* name) {
    if (!IsLoaded() || name == nullptr) {
        return -1;
    }
    const int total = Enumerate();
    for (int i = 0; i < total; ++i) {
        if (std::strncmp(radioList_[i].productName, name, 5) == 0) {
            return i;
        }
    }
    return -1;
}

int CnxK740RXReceiver::FindBySerial(const char* serial) {
    if (!IsLoaded() || serial == nullptr) {
        return -1;
    }
    const int total = Enumerate();
    for (int i = 0; i < total; ++i) {
        if (std::strncmp(radioList_[i].serial, serial, sizeof radioList_[i].serial) == 0) {
            return i;
        }
    }
    return -1;
}

int CnxK740RXReceiver::CheckIndex(int index) const {
    return IsLoaded() && index >= 0 && index < radioCount_ ? index : -1;
}

const RadioInfo* CnxK740RXReceiver::OpenByProductName(const char* name) {
    opened_ = false;
    const int index = FindByProductName(name);
    return index == -1 ? nullptr : OpenByIndex(index);
}

const RadioInfo* CnxK740RXReceiver::OpenBySerial(const char* serial) {
    opened_ = false;
    const int index = FindBySerial(serial);
    return index == -1 ? nullptr : OpenByIndex(index);
}

const RadioInfo* CnxK740RXReceiver::OpenByIndex(int index) {
    if (!IsLoaded()) {
        qCDebug(lcReceiver) << "Cannot open radio" << index << ": no driver library";
        return nullptr;
    }
    if (index < 0 || index >= kRadioListSize) {
        qCDebug(lcReceiver) << "Cannot open radio" << index << ": no such list entry";
        return nullptr;
    }
    opened_ = false;
    // Entries beyond the listed radios are the prefilled demo entries: opening one asks the
    // library for the serial "DEMO".
    radioIndex_ = index;
    currentInfo_ = radioList_[index];
    const std::string serial(RadioSerial(currentInfo_));
    K7Handle handle = 0;
    for (int attempt = 0; attempt < kOpenAttempts && handle == 0; ++attempt) {
        handle = K7Open(serial.c_str());
    }
    CnxK740RXTraceLog::ClearEntry(static_cast<uint32_t>(index + 1));
    handle_ = handle;
    // A real radio that fails to open is not a demo receiver: it reports no connection.
    const bool usb = HasPrefix(RadioProductName(currentInfo_), "K7USB");
    attachment_ = serial == "DEMO" ? Attachment::kDemo : usb ? Attachment::kUsb : Attachment::kPci;
    if (handle == 0) {
        qCDebug(lcReceiver) << "Cannot open radio" << serial.c_str() << "after" << kOpenAttempts
                            << "attempts";
        return nullptr;
    }
    if (!WaitUntilConnected()) {
        qCDebug(lcReceiver) << "Radio" << serial.c_str() << "opened but never reported connected";
        InxK740RXQvkApi::CloseRadioDevice(handle);
        handle_ = 0;
        return nullptr;
    }
    opened_ = true;
    topFrequency_ = kStandardTopFrequency;
    if (!IsDemo()) {
        ReadTopFrequency();
    }
    return &currentInfo_;
}

bool CnxK740RXReceiver::WaitUntilConnected() {
    for (unsigned waited = 0; !IsConnected(); waited += kConnectPollMs) {
        if (waited >= kConnectTimeoutMs) {
            return false;
        }
        TmySleep(kConnectPollMs);
    }
    return true;
}

void CnxK740RXReceiver::ReadTopFrequency() {
    uint8_t eeprom[kEepromBytes] = {};
    if (K7GetEEP(eeprom) == 0) {
        qCDebug(lcReceiver) << "Cannot read the EEPROM of radio" << handle_.load()
                            << "; taking the standard band";
        return;
    }
    uint32_t top = 0;
    std::memcpy(&top, eeprom + kEepromTopFrequencyOffset, sizeof top);
    if (top == kExtendedTopFrequency) {
        topFrequency_ = kExtendedTopFrequency;
    }
}

void CnxK740RXReceiver::SetSerial(const char* serial) {
    CopyField(currentInfo_.serial, sizeof currentInfo_.serial, serial != nullptr ? serial : "");
}

void CnxK740RXReceiver::StandInForLostRadio() {
    if (IsDemo()) {
        return;
    }
    lostSerial_ = RadioSerial(currentInfo_);
    attachment_ = Attachment::kStandIn;
    SetSerial("DEMO");
}

bool CnxK740RXReceiver::IsRadioBack() {
    // The driver keeps the handle of an unplugged radio; it answers again once it is back.
    return IsStandingIn() && InxK740RXQvkApi::IsDeviceConnected(handle_.load()) != 0;
}

bool CnxK740RXReceiver::TakeBackRadio() {
    if (!IsRadioBack()) {
        return false;
    }
    SetSerial(lostSerial_.c_str());
    const bool usb = HasPrefix(RadioProductName(currentInfo_), "K7USB");
    attachment_ = usb ? Attachment::kUsb : Attachment::kPci;
    lostSerial_.clear();
    // Started afresh, so the radio gets its stored settings and its stream again.
    Stop();
    Start();
    return true;
}

const char* CnxK740RXReceiver::GetAttachmentWord() const {
    switch (attachment_.load()) {
        case Attachment::kUsb:
            return "usb";
        case Attachment::kPci:
            return "pci";
        case Attachment::kDemo:
        case Attachment::kStandIn:
            break;
    }
    return "demo";
}

bool CnxK740RXReceiver::Close() {
    if (!IsLoaded() || handle_ == 0 || !opened_) {
        return opened_;
    }
    thread_.reset();
    if (CloseRadioDevice() != 0) {
        opened_ = false;
    } else {
        qCDebug(lcReceiver) << "Radio" << handle_.load() << "did not close";
    }
    return opened_;
}

// ---- start, stop, power ----

SnxK740RXReceiverSettings* CnxK740RXReceiver::StoredSettings() const {
    return settings_ != nullptr ? &settings_->Receiver(radioIndex_) : nullptr;
}

uint32_t CnxK740RXReceiver::Start() {
    if (started_ || !IsLoaded() || handle_ == 0 || settings_ == nullptr) {
        return 0;
    }
    savedAtten_ = GetAtten();
    savedRfAmp_ = GetRFAmp();
    savedIf2_ = GetIF2Frequency();

    const SnxK740RXReceiverSettings& stored = *StoredSettings();
    SetRFAmp(1);
    SetAttenuator(stored.atten != 0);
    SetLevelCorrection(stored.sMeterCal);
    SetFrequency(stored.frequency);
    SetLEDFlashPattern(kLedNormal);
    SetIF2Frequency(12000);
    InitializeDemodulator(0);
    SetAudioBandwidth(24000);
    SetVolume(15);
    // A demo receiver is heard through the player's noise and demo sound; a stream of its own
    // would only keep a thread busy for nothing.
    if (!IsDemo()) {
        StartStreams();
    }
    SetAudioGain(stored.volume.load());
    // Tuned again once the demodulator and the stream run.
    SetFrequency(stored.frequency);

    if (!thread_) {
        thread_ = std::make_unique<CnxK740RX_ReceiverThread>(this, targetWindow_);
        if (!thread_->Start()) {
            qCDebug(lcReceiver) << "Cannot start the processing thread of radio" << handle_.load();
        }
    }
    started_ = true;
    return streamHandle_;
}

bool CnxK740RXReceiver::Stop() {
    if (!started_ || !IsLoaded() || handle_ == 0 || settings_ == nullptr) {
        return false;
    }
    SetRFAmp(static_cast<int32_t>(savedRfAmp_));
    SetAtten(static_cast<int32_t>(savedAtten_));
    SetIF2Frequency(static_cast<int32_t>(savedIf2_));
    SetLEDFlashPattern(kLedStopped);
    StopStreams();
    LogOverruns();
    UninitializeDemodulator();
    started_ = false;
    return true;
}

int CnxK740RXReceiver::SetPower(int32_t value, bool force) {
    if (settings_ == nullptr) {
        return 0;
    }
    if (static_cast<uint32_t>(value) == powerState_ && !force) {
        return 0;
    }
    InxK740RXQvkApi::SetPower(handle_.load(), value);
    powerState_ = static_cast<uint32_t>(GetPower());
    if (powerState_ != 0) {
        Start();
    } else {
        Stop();
    }
    return 1;
}

bool CnxK740RXReceiver::IsPoweredOn() {
    return GetPower() != 0;
}

void CnxK740RXReceiver::SetRfAmplifier(bool on) {
    SetRFAmp(on ? 1 : 0);
}

bool CnxK740RXReceiver::GetRfAmplifier() {
    return GetRFAmp() != 0;
}

void CnxK740RXReceiver::SetLedPattern(int32_t pattern) {
    SetLEDFlashPattern(pattern);
}

int32_t CnxK740RXReceiver::GetPassband() {
    return GetAudioBandwidth();
}

// ---- tuning and levels ----

template <typename Tune>
int32_t CnxK740RXReceiver::TuneAndTellCalibrator(int32_t hertz, Tune tune) {
    if (settings_ == nullptr) {
        return 0;
    }
    // Each receiver keeps its own frequency: tuning one that is not selected must not move the
    // selected receiver's remembered frequency.
    StoredSettings()->frequency = hertz;
    tunedFrequency_ = hertz;
    // Whatever the pipeline of a running scan had tuned is gone now. Counted on both sides of the
    // call, so a step that overlaps it in any way sees the count move.
    tuneGeneration_ += 1;
    const int32_t result = tune(hertz);
    tuneGeneration_ += 1;
    if (result != 0 && calibrator_ != nullptr) {
        calibrator_->SetFrequency(settings_->Current().frequency);
    }
    return result;
}

int32_t CnxK740RXReceiver::SetFrequency(int32_t hertz) {
    return TuneAndTellCalibrator(
        hertz, [this](int32_t f) { return InxK740RXQvkApi::SetFrequency(handle_.load(), f); });
}

int32_t CnxK740RXReceiver::SetFreqAsync(int32_t hertz) {
    return TuneAndTellCalibrator(
        hertz, [this](int32_t f) { return InxK740RXQvkApi::SetFreqAsync(handle_.load(), f); });
}

int32_t CnxK740RXReceiver::GetFrequency() {
    return InxK740RXQvkApi::GetFrequency(handle_.load());
}

int32_t CnxK740RXReceiver::RawToTenthsDbm(uint32_t raw) {
    return static_cast<int32_t>(std::trunc(raw * 1000.0 / 255.0 - 1300.0));
}

void CnxK740RXReceiver::SetAttenuator(bool on) {
    attenuator_ = on;
    SetAtten(on ? 1 : 0);
}

int32_t CnxK740RXReceiver::DemoLevel(int64_t hertz, bool attenuator) {
    int32_t level = kDemoNoSignal;
    if (const auto signal = CnxChannelPlan::DemoSignalAt(hertz)) {
        level = signal->tenthsDbm;
    }
    if (level != kDemoNoSignal && attenuator) {
        level -= kAttenuatorLoss;
    }
    return level;
}

double CnxK740RXReceiver::GetLevelRaw() {
    const auto raw = static_cast<uint32_t>(GetRawSignalStrength(handle_.load()));
    const std::optional<CalRecord> record =
        calibrator_ != nullptr ? calibrator_->Calibrate(static_cast<uint8_t>(raw)) : std::nullopt;
    lastLevel_ = record ? double{record->dbm} : RawToTenthsDbm(raw) / 10.0;
    return lastLevel_;
}

double CnxK740RXReceiver::GetLevelDbm() {
    int32_t tenths = GetSignalStrengthdBm(handle_.load());
    if (IsDemo() && settings_ != nullptr) {
        tenths = DemoLevel(tunedFrequency_, attenuator_);
    }
    return tenths / 10.0;
}

bool CnxK740RXReceiver::IsConnected() {
    return IsDemo() || InxK740RXQvkApi::IsDeviceConnected(handle_.load()) != 0;
}

bool CnxK740RXReceiver::IsDeviceConnected() {
    return IsConnected();
}

bool CnxK740RXReceiver::Reconnect() {
    if (IsDemo()) {
        return true;
    }
    const std::string serial(RadioSerial(currentInfo_));
    if (OpenBySerial(serial.c_str()) == nullptr) {
        return false;
    }
    Close();
    return true;
}

// ---- scan range ----

void CnxK740RXReceiver::SetFrequencyLimits(int64_t minimum, int64_t maximum) {
    if (minimum == minFrequency_ && maximum == maxFrequency_) {
        return;
    }
    minFrequency_ = minimum;
    maxFrequency_ = minimum == maximum ? maximum + 1 : maximum;
    SetScanLower(scanLower_, true);
    SetScanUpper(scanUpper_, true);
}

void CnxK740RXReceiver::SetScanLower(int64_t hertz, bool force) {
    if (hertz == scanLower_ && !force) {
        return;
    }
    const int64_t minimum = minFrequency_;
    const int64_t maximum = maxFrequency_;
    if (hertz <= minimum) {
        hertz = minimum;
    }
    if (hertz >= maximum) {
        hertz = maximum - kMinScanSpan;
    }
    if (scanUpper_ <= hertz) {
        scanUpper_ = hertz + kMinScanSpan;
        if (scanUpper_ > maximum) {
            scanUpper_ = maximum;
            hertz = maximum - kMinScanSpan;
        }
    }
    scanLower_ = hertz;
    RebuildScanWalk();
}

void CnxK740RXReceiver::SetScanUpper(int64_t hertz, bool force) {
    if (hertz == scanUpper_ && !force) {
        return;
    }
    const int64_t minimum = minFrequency_;
    const int64_t maximum = maxFrequency_;
    if (hertz <= minimum) {
        hertz = minimum;
    }
    if (hertz > maximum) {
        hertz = maximum - kMinScanSpan;
    }
    if (scanLower_ >= hertz) {
        scanLower_ = hertz - kMinScanSpan;
        if (scanLower_ < minimum) {
            scanLower_ = minimum;
            hertz = minimum + kMinScanSpan;
        }
    }
    scanUpper_ = hertz;
    RebuildScanWalk();
}

void CnxK740RXReceiver::SetScanStep(int64_t step, bool force) {
    if (step != scanStep_ || force) {
        scanStep_ = step;
        RebuildScanWalk();
    }
}

// ---- scan ----

void CnxK740RXReceiver::RebuildScanWalk() {
    nextWalk_ = CnxScanStepper(scanLower_, scanUpper_, scanStep_);
}

void CnxK740RXReceiver::SetScanWalk(const CnxScanStepper& walk) {
    scanLower_ = walk.GetLower();
    scanUpper_ = walk.GetUpper();
    scanStep_ = walk.GetStep();
    nextWalk_ = walk;
}

int64_t CnxK740RXReceiver::GetScanFrequency() const {
    std::lock_guard lock(scanMutex_);
    // A stopped scan stands at the start of the walk it will take.
    const bool running = scanState_ == kScanning || scanState_ == kScanPaused;
    return running ? stepper_.GetCurrentFrequency() : nextWalk_.GetPointFrequency(0);
}

int64_t CnxK740RXReceiver::GetScanPointFrequency(int point) const {
    std::lock_guard lock(scanMutex_);
    return stepper_.GetPointFrequency(point);
}

uint16_t CnxK740RXReceiver::StartScan() {
    if (g_optSettle1.present) {
        firstSettle_ = static_cast<uint32_t>(g_optSettle1.value);
    }
    if (g_optSettle2.present) {
        stepSettle_ = static_cast<uint32_t>(g_optSettle2.value);
    }
    {
        std::lock_guard lock(scanMutex_);
        if (scanState_ == kScanning) {
            return scanRun_;
        }
        if (scanState_ != kScanPaused) {
            // A run walks the points laid out when it begins, whatever changes while it runs.
            stepper_ = nextWalk_;
            stepper_.Restart();
            // Run 0 names no run, so a sample is never taken for one of a run that never began.
            scanRun_ = static_cast<uint16_t>(scanRun_ == UINT16_MAX ? 1 : scanRun_ + 1);
        }
        // Started or resumed, the pipeline begins afresh at the point the walk is at.
        primeNeeded_ = true;
        scanState_ = kScanning;
    }
    if (thread_) {
        thread_->Wake();
    }
    return scanRun_;
}

void CnxK740RXReceiver::PauseScan() {
    std::lock_guard lock(scanMutex_);
    if (scanState_ == kScanning) {
        scanState_ = kScanPaused;
    }
}

void CnxK740RXReceiver::StopScan() {
    {
        std::lock_guard lock(scanMutex_);
        if (scanState_ != kScanning && scanState_ != kScanPaused) {
            return;
        }
        scanState_ = kScanStopped;
        stepper_.Restart();
    }
    LogOverruns();
}

void CnxK740RXReceiver::EndScanRun(uint16_t run) {
    {
        std::lock_guard lock(scanMutex_);
        // A stop or a new start on the window thread came first: that run is not ours to end.
        if (scanRun_ != run || scanState_ != kScanning) {
            return;
        }
        scanState_ = kScanStopped;
        stepper_.Restart();
    }
    LogOverruns();
    PostMessage(targetWindow_, WM_RCV_SCAN_END, reinterpret_cast<WPARAM>(this), run);
}

std::optional<CnxK740RXReceiver::ScanStep> CnxK740RXReceiver::TakeScanStep() {
    std::lock_guard lock(scanMutex_);
    // A stop or pause that came while this step waited for the lock holds it.
    if (scanState_ != kScanning) {
        return std::nullopt;
    }
    ScanStep step;
    step.run = scanRun_;
    step.tuneGeneration = tuneGeneration_;
    if (IsDemo()) {
        // No pipeline to start: the opening tune is only traced.
        step.prime = std::exchange(primeNeeded_, false);
        step.measured = stepper_.GetCurrent();
    } else if (primeNeeded_ || step.tuneGeneration != pipelineGeneration_) {
        primeNeeded_ = false;
        step.prime = true;
        step.measured = stepper_.GetCurrent();
        step.nextHz = stepper_.GetCurrentFrequency();
        return step;
    } else {
        step.measured = pendingVisit_;
    }
    step.measuredHz = stepper_.GetPointFrequency(step.measured.point);
    step.more = stepper_.Next(scanLoop_);
    step.next = stepper_.GetCurrent();
    step.nextHz = step.more ? stepper_.GetCurrentFrequency() : step.measuredHz;
    return step;
}

void CnxK740RXReceiver::MeasureScanStep() {
    const std::optional<ScanStep> step = TakeScanStep();
    if (!step) {
        return;
    }
    if (powerState_ == 0) {
        EndScanRun(step->run);
        return;
    }
    if (IsDemo()) {
        MeasureDemoStep(*step);
    } else {
        MeasurePipelinedStep(*step);
    }
    if (!step->more) {
        EndScanRun(step->run);
    }
}

void CnxK740RXReceiver::MeasureDemoStep(const ScanStep& step) {
    if (step.prime) {
        Trace(step.measuredHz, 0, 0, 0, 0);
    }
    const int32_t level = DemoLevel(step.measuredHz, attenuator_);
    Trace(step.measuredHz, level, 0, 0, 0);
    PublishScanLevel(step, level);
}

void CnxK740RXReceiver::MeasurePipelinedStep(const ScanStep& step) {
    if (step.prime) {
        pendingTuned_ = K7SetFreqPipelined(static_cast<int32_t>(step.nextHz), 1,
                                           static_cast<int32_t>(firstSettle_.load())) != 0;
        Trace(step.nextHz, 0, 0, 0, 0);
        pendingVisit_ = step.measured;
        pipelineGeneration_ = step.tuneGeneration;
        return;
    }
    int32_t libraryLevel = 0;
    uint8_t raw = 0;
    int32_t rssi = 0;
    int32_t agc = 0;
    // A radio that refused to tune the measured frequency read where it stood instead: that
    // reading is nobody's.
    const bool measuredTuned = pendingTuned_;
    std::optional<int32_t> level = ReadPipelinedLevel(step.nextHz, libraryLevel, raw, rssi, agc);
    if (!measuredTuned) {
        level.reset();
    }
    pendingVisit_ = step.next;
    if (tuneGeneration_ != step.tuneGeneration) {
        // The window thread tuned the radio while this step measured: the reading may be of that
        // frequency. It is filed nowhere, and the next step starts the pipeline afresh.
        return;
    }
    Trace(step.measuredHz, libraryLevel, raw, rssi, agc);
    PublishScanLevel(step, level);
}

std::optional<int32_t> CnxK740RXReceiver::ReadPipelinedLevel(int64_t next, int32_t& libraryLevel,
                                                             uint8_t& raw, int32_t& rssi,
                                                             int32_t& agc) {
    // Tune the next frequency, then read the one tuned a call earlier.
    pendingTuned_ = K7SetFreqPipelined(static_cast<int32_t>(next), 0,
                                       static_cast<int32_t>(stepSettle_.load())) != 0;
    libraryLevel = kDemoNoSignal;
    if (K7GetSSPipelined(&libraryLevel, &raw, &rssi, &agc) == 0) {
        return std::nullopt;
    }
    // The scan maps the raw byte linearly; the library's own dBm value is only traced.
    return RawToTenthsDbm(raw);
}

void CnxK740RXReceiver::PublishScanLevel(const ScanStep& step, std::optional<int32_t> tenths) {
    if (++scanBacklog_ > kScanBacklog) {
        ++scanOverruns_;
    }
    ScanSample sample;
    sample.run = step.run;
    sample.sweep = step.measured.sweep;
    sample.point = step.measured.point;
    // A failed read carries no level rather than the bottom of the scale.
    if (tenths) {
        sample.level = (*tenths + levelCorrection_) / 10.0;
    }
    PostMessage(targetWindow_, WM_RCV_SCAN_LEVEL, reinterpret_cast<WPARAM>(this), sample.Pack());
}

void CnxK740RXReceiver::AcknowledgeScanSample() {
    // Only this thread takes away, so the count cannot fall to zero between test and change.
    if (scanBacklog_ > 0 && (scanBacklog_ += -1) == kScanBacklog / 2 && thread_) {
        thread_->Wake();  // a step may be waiting for the window to catch up
    }
}

void CnxK740RXReceiver::LogOverruns() {
    // Counted since the start; each report says how far the window thread has fallen behind.
    if (const uint32_t overruns = scanOverruns_; overruns > 0) {
        qCWarning(lcReceiver) << "Receiver" << radioIndex_.load() << ":" << overruns
                              << "scan samples came while" << kScanBacklog
                              << "were still waiting for the window";
    }
    if (const uint32_t overruns = audioBlocks_.GetOverruns(); overruns > 0) {
        qCWarning(lcReceiver) << "Receiver" << radioIndex_.load() << ":" << overruns
                              << "audio blocks refilled before the window had played them";
    }
}

void CnxK740RXReceiver::Trace(int64_t frequency, int32_t level, int32_t raw, int32_t rssi,
                              int32_t agc) const {
    if (!g_optLog.present || settings_ == nullptr) {
        return;
    }
    CnxK740RXTraceLog::Write(settings_->GetSettingsDir(), GetAttachmentWord(), handle_, frequency,
                             level, raw, rssi, agc);
}

// ---- audio ----

uint32_t CnxK740RXReceiver::StartStreams() {
    if (streamHandle_ == 0) {
        streamHandle_ = SetupStreams(0, 0, &CnxK740RXReceiver::StreamCallback, this);
    }
    return streamHandle_;
}

void CnxK740RXReceiver::StopStreams() {
    if (streamHandle_ != 0) {
        streamHandle_ = 0;
        SetupStreams(0, 0, nullptr, nullptr);
    }
}

void CnxK740RXReceiver::StreamCallback(void* context, const void* data, uint32_t bytes,
                                       uint32_t extra) {
    auto* receiver = static_cast<CnxK740RXReceiver*>(context);
    if (receiver != nullptr && receiver->AreStreamsRunning()) {
        receiver->OnStreamCallback(data, bytes, extra);
    }
}

void CnxK740RXReceiver::OnStreamCallback(const void* data, uint32_t bytes, uint32_t) {
    if (audioEnabled_ && AreStreamsRunning()) {
        HandleAudioChunk(data, bytes);
    }
}

void CnxK740RXReceiver::OnAudioData(const void* data, uint32_t bytes, uint32_t extra) {
    if (bytes >= 4) {
        OnStreamCallback(data, bytes, extra);
    }
}

bool CnxK740RXReceiver::AllocateAudioBlocks(uint32_t capacity, uint32_t count) {
    return audioBlocks_.Allocate(capacity, count, audioFormat_.samplesPerSecond);
}

bool CnxK740RXReceiver::FreeAudioBlocks() {
    audioBlocks_.Free();
    return true;
}

void CnxK740RXReceiver::SetAudioFormat(const SnxK740RXAudioFormat& format) {
    audioFormat_ = format;
    audioBlocks_.SetSampleRate(format.samplesPerSecond);
}

void CnxK740RXReceiver::SetAudioEnabled(bool enabled) {
    audioEnabled_ = enabled;
    if (!enabled) {
        audioBlocks_.Reset();
    }
}

void CnxK740RXReceiver::HandleAudioChunk(const void* data, uint32_t bytes) {
    if (!AreStreamsRunning()) {
        return;
    }
    audioBlocks_.Add(data, bytes, [this](AudioBlock* block) {
        block->source = this;
        PostMessage(targetWindow_, WM_RCV_AUDIO_BLOCK, reinterpret_cast<WPARAM>(this),
                    reinterpret_cast<LPARAM>(block));
    });
}

void CnxK740RXReceiver::OnWindowMessage(const TmyMessage& message) {
    if (message.message != WM_RCV_AUDIO_CHUNK) {
        return;
    }
    const auto* chunk = reinterpret_cast<const char*>(message.wParam);
    HandleAudioChunk(chunk, static_cast<uint32_t>(message.lParam));
    delete[] chunk;
}
