#pragma once
// One receiver as the program sees it: the driver library bound by name, the radio list, the open
// radio, its stored settings applied on Start and the hardware put back on Stop, tuning, the scan
// pipeline driven by its processing thread, levels in dBm, signals simulated in demo mode, and the
// demodulated audio stream turned into float blocks. Everything it reports goes to one target
// window as posted messages.
//
// Threads: the window thread calls the setters and the scan commands, the processing thread calls
// IsScanning, IsDemo, IsConnected and MeasureScanStep, the library's stream thread delivers audio.
// The values the processing thread reads (level correction, attenuator, tuned frequency) are the
// receiver's own, set by the window thread; the scan walk is guarded by an uncontended lock. Every
// scan call into the driver happens on the processing thread, so its pipeline (tune the next
// point, read the one tuned before) is never disturbed by the window thread's commands; a tune of
// the window thread marks the pipeline as disturbed and the next step starts it afresh.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/TmyMessageWindow.h"
#include "receiver/CnxK740RXAudioBlockAssembler.h"
#include "receiver/InxK740RXQvkApi.h"
#include "receiver/K740RXReceiverMessages.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"
#include "sync/CnxAtomic.h"

class CnxK740RXFileIniApp;
class CnxK740RXCalibratorSMeter;
class CnxK740RX_ReceiverThread;
struct SnxK740RXReceiverSettings;

// Driver calls that take the receiver's own handle first; the caller gives the rest.
// clang-format off
#define K740RX_RECEIVER_OWN_HANDLE_CALLS(X)                                                     \
    X(SetIF2Frequency) X(GetIF2Frequency) X(WaitFreqAsync) X(GetTunedError) X(SetAtten)         \
    X(GetAtten) X(SetRFAmp) X(GetRFAmp) X(GetPower) X(K7SetRefClock) X(K7GetRefClock)           \
    X(K7GetInfo) X(K7IsBusy) X(GetPath) X(GetPath2) X(SetLEDFlashPattern) X(GetLEDFlashPattern) \
    X(K7GetDebug) X(K7WrCalib2) X(K7WrCalib) X(K7GetEEP) X(SetFilterValue) X(GetFilterValue)    \
    X(SetFilterTbl) X(GetFilterTbl) X(SetPllSpeed) X(GetPllSpeed) X(ReadBands) X(WriteBands)    \
    X(SetupStreams) X(SetAudioBandwidth) X(GetAudioBandwidth) X(SetVolume) X(GetVolume)         \
    X(SetAudioGain) X(GetAudioGain) X(GetLastRawSS) X(GetLastSSdBm) X(K7GetInternalRSSI)        \
    X(K7SetFreqPipelined) X(K7GetSSPipelined) X(CloseRadioDevice) X(InitializeDemodulator)      \
    X(UninitializeDemodulator) X(SetAdvancedMode) X(GetAdvancedMode) X(SetFMW) X(GetFMW)        \
    X(SetMode) X(GetMode)
// clang-format on

class CnxK740RXReceiver : public InxK740RXQvkApi {
public:
    static constexpr int kRadioListSize = 10;
    // Scan samples the window thread may have waiting before it counts as falling behind.
    static constexpr int kScanBacklog = 100;
    static constexpr int64_t kMinScanSpan = 50000;
    static constexpr uint32_t kStandardTopFrequency = CnxChannelPlan::kUpperLimit;
    static constexpr uint32_t kExtendedTopFrequency = CnxChannelPlan::kExtendedUpperLimit;
    // The LED patterns of a started receiver, of the receiver being pointed out in the receiver
    // list, and of a stopped one.
    static constexpr int32_t kLedNormal = 95;
    static constexpr int32_t kLedPointedOut = 255;
    static constexpr int32_t kLedStopped = 168;

    enum ScanState : uint32_t { kScanIdle = 0, kScanning = 1, kScanPaused = 3, kScanStopped = 4 };
    enum RadioKind { kKindPci = 0, kKindUsb = 1, kKindSerial = 2, kKindAll = -1 };
    // How the receiver is attached: no radio (demo), a radio on USB or PCI, or a demo receiver
    // standing in for a radio that was lost.
    enum class Attachment { kDemo, kUsb, kPci, kStandIn };

    // Settings, target window and calibrator are borrowed; the calibrator may be null.
    CnxK740RXReceiver(const char* libraryFileName, CnxK740RXFileIniApp* settings, HWND targetWindow,
                      CnxK740RXCalibratorSMeter* calibrator);
    ~CnxK740RXReceiver() override;

    // Radio list and opening.
    const RadioInfo* GetRadioInfo(int index) const;
    K7Handle GetHandle() const { return handle_; }
    const RadioInfo& GetCurrentRadioInfo() const { return currentInfo_; }
    // Renames the open radio.
    void SetSerial(const char* serial);
    // A receiver whose radio was lost goes on as a demo receiver ("DEMO") in its place, and can
    // take its radio back once it is plugged in again.
    void StandInForLostRadio();
    bool IsStandingIn() const { return attachment_ == Attachment::kStandIn; }
    // The serial number of the radio a stand-in replaces; empty for any other receiver.
    const std::string& GetLostSerial() const { return lostSerial_; }
    bool IsRadioBack();
    // Back to the radio, started with its stored settings; false while the radio is not back.
    bool TakeBackRadio();
    int32_t GetRadioIndex() const { return radioIndex_; }
    // The manager renumbers an opened receiver to its slot; settings are looked up by this index.
    void SetRadioIndex(int32_t index) { radioIndex_ = index; }
    Attachment GetAttachment() const { return attachment_; }
    // A demo receiver, standing in for a lost radio or not: its levels are simulated.
    bool IsDemo() const {
        return attachment_ == Attachment::kDemo || attachment_ == Attachment::kStandIn;
    }
    int Enumerate();
    int GetRadioCount(int kind) const;
    int FindByProductName(const char* name);
    int CheckIndex(int index) const;
    int FindBySerial(const char* serial);
    const RadioInfo* OpenByProductName(const char* name);
    const RadioInfo* OpenByIndex(int index);
    const RadioInfo* OpenBySerial(const char* serial);
    // Returns whether the radio is still open (false: closed).
    bool Close();
    bool IsOpen() const { return opened_; }
    const char* GetAttachmentWord() const;
    uint32_t GetTopFrequency() const { return topFrequency_; }
    bool IsExtendedRange() const { return topFrequency_ == kExtendedTopFrequency; }
    uint32_t GetRadioValueA() const { return currentInfo_.valueA; }
    uint32_t GetRadioValueB() const { return currentInfo_.valueB; }

    // Start applies the stored settings of the receiver's index and returns the stream handle;
    // Stop puts the hardware back as Start found it.
    uint32_t Start();
    bool Stop();
    bool IsStarted() const { return started_; }
    int SetPower(int32_t value, bool force);
    // Whether the radio reports its power on.
    bool IsPoweredOn();

    // The receiver's own attenuator and level correction (tenths of a dB), which its scan and its
    // demo signals use; Start takes both from the receiver's stored settings.
    void SetAttenuator(bool on);
    bool GetAttenuator() const { return attenuator_; }
    void SetLevelCorrection(int32_t tenths) { levelCorrection_ = tenths; }
    int32_t GetLevelCorrection() const { return levelCorrection_; }
    // The RF amplifier as the radio reports it.
    void SetRfAmplifier(bool on);
    bool GetRfAmplifier();
    // The pattern of the radio's LED, to tell the physical unit apart.
    void SetLedPattern(int32_t pattern);
    // Hz.
    int32_t GetPassband();
    // The strength byte 0..255 as the radio reports it now.
    int GetRawLevel() { return GetRawSignalStrength(handle_.load()); }

    // Tuning and levels.
    int32_t SetFrequency(int32_t hertz);
    int32_t SetFreqAsync(int32_t hertz);
    int32_t GetFrequency();
    double GetLevelRaw();
    double GetLevelDbm();
    bool IsConnected();
    bool IsDeviceConnected();
    bool Reconnect();

    // Scan range (the minimum span is kMinScanSpan). A changed range walks every point of it from
    // the next start on.
    void SetFrequencyLimits(int64_t minimum, int64_t maximum);
    int64_t GetMinFrequency() const { return minFrequency_; }
    int64_t GetMaxFrequency() const { return maxFrequency_; }
    void SetScanLower(int64_t hertz, bool force);
    int64_t GetScanLower() const { return scanLower_; }
    void SetScanUpper(int64_t hertz, bool force);
    int64_t GetScanUpper() const { return scanUpper_; }
    void SetScanStep(int64_t step, bool force);
    int64_t GetScanStep() const { return scanStep_; }
    // The whole walk of the next scan started from stopped: range, step, locked-out points and a
    // priority point, exactly as the graph lays it out.
    void SetScanWalk(const CnxScanStepper& walk);
    // The frequency the walk is at, and that of a point of the walk of the current run.
    int64_t GetScanFrequency() const;
    int64_t GetScanPointFrequency(int point) const;

    // Scan. StartScan from stopped begins a new run at the walk's first point and returns its
    // number (never 0); from paused it resumes the same run. Every sample names its run, and a run
    // ends with StopScan or, after a single pass, by itself (WM_RCV_SCAN_END with the run).
    uint16_t StartScan();
    void PauseScan();
    void StopScan();
    void SetScanLoop(bool loop) { scanLoop_ = loop; }
    bool IsScanning() const { return scanState_ == kScanning; }
    uint32_t GetScanState() const { return scanState_; }
    uint16_t GetScanRun() const { return scanRun_; }
    // One step of the processing thread: tune the walk's next point, read the one tuned before
    // and post its sample.
    void MeasureScanStep();
    // The window thread has handled one WM_RCV_SCAN_LEVEL. A step waits while kScanBacklog
    // samples are unhandled, until half of them are (see the processing thread); samples posted
    // beyond kScanBacklog all the same, when the window stays away too long, count as overruns.
    void AcknowledgeScanSample();
    bool IsWindowBehind() const { return scanBacklog_ >= kScanBacklog; }
    bool HasWindowCaughtUp() const { return scanBacklog_ <= kScanBacklog / 2; }
    uint32_t GetScanOverruns() const { return scanOverruns_; }

    // Audio.
    uint32_t StartStreams();
    void StopStreams();
    bool AreStreamsRunning() const { return streamHandle_ != 0; }
    // Blocks already handed out keep their rate; the next ones take the new one.
    void SetAudioFormat(const SnxK740RXAudioFormat& format);
    const SnxK740RXAudioFormat& GetAudioFormat() const { return audioFormat_; }
    // Only the selected receiver forwards audio; a receiver that stops forwarding drops what it had
    // staged, so its next blocks never carry older audio.
    void SetAudioEnabled(bool enabled);
    bool IsAudioEnabled() const { return audioEnabled_; }
    bool AllocateAudioBlocks(uint32_t capacity, uint32_t count);
    bool FreeAudioBlocks();
    uint32_t GetAudioBlockCapacity() const { return audioBlocks_.GetCapacity(); }
    uint32_t GetAudioBlockCount() const { return audioBlocks_.GetCount(); }
    // The window thread is done with one WM_RCV_AUDIO_BLOCK.
    void AcknowledgeAudioBlock() { audioBlocks_.Acknowledge(); }
    uint32_t GetAudioOverruns() const { return audioBlocks_.GetOverruns(); }
    void HandleAudioChunk(const void* data, uint32_t bytes);
    void OnAudioData(const void* data, uint32_t bytes, uint32_t extra);
    void OnStreamCallback(const void* data, uint32_t bytes, uint32_t extra);
    // The hidden "ReceiverMessageWindow" that takes WM_RCV_AUDIO_CHUNK.
    HWND GetMessageWindow() const { return messageWindow_.GetHandle(); }
    const std::string& GetMessageWindowName() const { return messageWindow_.GetName(); }

    // A raw strength 0..255 mapped linearly onto -130.0 .. -30.0 dBm, in whole tenths.
    static int32_t RawToTenthsDbm(uint32_t raw);
    // Demo signal table in tenths of a dBm, 18 dB lower on the signals with the attenuator on.
    static int32_t DemoLevel(int64_t hertz, bool attenuator);

    // The driver calls of K740RX_RECEIVER_OWN_HANDLE_CALLS, each with the receiver's own handle.
    // clang-format off
#define K740RX_DECLARE_OWN_HANDLE_CALL(name)                    \
    template <typename... Args>                                 \
    auto name(Args... args) {                                   \
        return InxK740RXQvkApi::name(handle_.load(), args...);  \
    }
    K740RX_RECEIVER_OWN_HANDLE_CALLS(K740RX_DECLARE_OWN_HANDLE_CALL)
#undef K740RX_DECLARE_OWN_HANDLE_CALL
    // clang-format on

protected:
    void OnWindowMessage(const TmyMessage& message);

private:
    // What one scan step does, decided under the walk's lock.
    struct ScanStep {
        uint16_t run = 0;
        SnxScanVisit measured;  // the visit whose reading this step files
        SnxScanVisit next;      // the visit this step tunes
        int64_t measuredHz = 0;
        int64_t nextHz = 0;  // tuned by this step; the measured frequency again at a pass's end
        bool more = true;    // false: the pass ends with this step
        bool prime = false;  // the pipeline is started afresh: tune only, file nothing
        uint32_t tuneGeneration = 0;
    };

    static void StreamCallback(void* context, const void* data, uint32_t bytes, uint32_t extra);

    void PrefillDemoEntries();
    bool WaitUntilConnected();
    void ReadTopFrequency();
    template <typename Tune>
    int32_t TuneAndTellCalibrator(int32_t hertz, Tune tune);
    // Settings of the receiver's own index; null without settings.
    SnxK740RXReceiverSettings* StoredSettings() const;
    std::optional<ScanStep> TakeScanStep();
    void MeasureDemoStep(const ScanStep& step);
    void MeasurePipelinedStep(const ScanStep& step);
    // Tenths of a dBm read from the pipeline after tuning `next`; none when the read fails.
    std::optional<int32_t> ReadPipelinedLevel(int64_t next, int32_t& libraryLevel, uint8_t& raw,
                                              int32_t& rssi, int32_t& agc);
    void PublishScanLevel(const ScanStep& step, std::optional<int32_t> tenths);
    // Ends the run after its single pass (or a power-off) and tells the window.
    void EndScanRun(uint16_t run);
    void RebuildScanWalk();
    void LogOverruns();
    void Trace(int64_t frequency, int32_t level, int32_t raw, int32_t rssi, int32_t agc) const;

    CnxAtomic<int32_t> radioIndex_{-1};
    CnxAtomic<K7Handle> handle_{0};
    RadioInfo currentInfo_{};
    std::string lostSerial_;  // of the radio a demo receiver stands in for
    std::array<RadioInfo, kRadioListSize> radioList_{};
    SnxK740RXAudioFormat audioFormat_{};
    CnxAtomic<Attachment> attachment_{Attachment::kDemo};
    HWND targetWindow_;
    CnxK740RXFileIniApp* settings_;
    CnxK740RXCalibratorSMeter* calibrator_;
    std::unique_ptr<CnxK740RX_ReceiverThread> thread_;
    bool started_ = false;
    CnxAtomic<bool> audioEnabled_{false};
    CnxAtomic<bool> attenuator_{false};
    CnxAtomic<int32_t> levelCorrection_{0};
    CnxAtomic<int32_t> tunedFrequency_{0};
    double lastLevel_ = 0.0;
    CnxAtomic<uint32_t> powerState_{0};
    uint32_t savedAtten_ = 0;
    uint32_t savedRfAmp_ = 0;
    uint32_t savedIf2_ = 0;

    CnxAtomic<uint32_t> scanState_{kScanIdle};
    CnxAtomic<bool> scanLoop_{false};
    CnxAtomic<uint16_t> scanRun_{0};
    CnxAtomic<int64_t> scanStep_{CnxChannelPlan::kSpacing};
    // Until the manager sets the range, half a channel above the band's edges.
    CnxAtomic<int64_t> scanUpper_{CnxChannelPlan::kUpperLimit + CnxChannelPlan::kSpacing / 2};
    CnxAtomic<int64_t> scanLower_{CnxChannelPlan::kLowerLimit + CnxChannelPlan::kSpacing / 2};
    CnxAtomic<int64_t> minFrequency_{CnxChannelPlan::kLowerLimit};
    CnxAtomic<int64_t> maxFrequency_{CnxChannelPlan::kUpperLimit};
    // The walk; the processing thread steps it, the window thread starts, pauses and stops it.
    mutable std::mutex scanMutex_;
    CnxScanStepper stepper_;
    CnxScanStepper nextWalk_;  // window thread only: what the next run from stopped walks
    bool primeNeeded_ = true;  // guarded by scanMutex_
    // Counts the window thread's own tunes: a step that sees it move knows its reading may be of
    // that frequency.
    CnxAtomic<uint32_t> tuneGeneration_{0};
    // The processing thread's own: what the pipeline has tuned and not yet read.
    SnxScanVisit pendingVisit_;
    bool pendingTuned_ = false;  // the radio took the pending visit's frequency
    uint32_t pipelineGeneration_ = 0;
    CnxAtomic<int32_t> scanBacklog_{0};
    CnxAtomic<uint32_t> scanOverruns_{0};
    CnxAtomic<uint32_t> firstSettle_{35};
    CnxAtomic<uint32_t> stepSettle_{40};

    CnxAtomic<int32_t> radioCount_{0};
    CnxAtomic<int32_t> pciCount_{0};
    CnxAtomic<int32_t> usbCount_{0};
    CnxAtomic<int32_t> serialCount_{0};
    CnxAtomic<bool> opened_{false};
    TmyMessageWindow messageWindow_;
    CnxAtomic<uint32_t> streamHandle_{0};
    CnxK740RXAudioBlockAssembler audioBlocks_;
    CnxAtomic<uint32_t> topFrequency_{kStandardTopFrequency};
};
