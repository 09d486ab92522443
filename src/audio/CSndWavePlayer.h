#pragma once
// The audio player: one output device and three sources, of which one is live at a time (the
// mode). Every block the live source delivers goes to the owner window as WM_AUDIO_BLOCK; the
// owner processes it and plays it through GetCurrentOutput()->Write. Device notices come to the
// player's own window, so everything runs on the window thread.
// A demo sound file that cannot be played is told once (until it plays again), and noise plays in
// its place.
#include <deque>
#include <functional>
#include <string>

#include "audio/CSndWaveInDevice.h"
#include "audio/CSndWaveInGeneratorNoise.h"
#include "audio/CSndWaveInWaveFileStream.h"
#include "audio/CSndWaveOutDevice.h"
#include "core/TmyComponent.h"
#include "core/TmyEvents.h"

class CSndWavePlayer : public TmyComponent {
public:
    enum Mode : int { PlayerModeNoise = 0, PlayerModeSoundCard = 1, PlayerModeWaveFile = 2 };
    static constexpr uint32_t kPrefillBlocks = 5;
    static constexpr const char* kErrorCaption = " K740RX Sound Card ...";

    // Shows a device's error text, or that the demo sound file cannot be played, to the user. The
    // default is the modal " K740RX Sound Card ..." box over the owner window.
    using ErrorReporter = std::function<void(const std::string& text)>;

    explicit CSndWavePlayer(HWND owner, ErrorReporter reportError = {});
    ~CSndWavePlayer() override;

    MMRESULT Play(int mode);
    MMRESULT Stop();
    MMRESULT Pause();
    uint32_t SetWaveFileName(const char* name, uint32_t size);
    MMRESULT SeekBack(uint32_t bytes);
    MMRESULT SeekForward(uint32_t bytes);
    MMRESULT SetInputDeviceId(uint32_t id);
    void RestartWaveFile();

    bool IsReady() const { return ready_ != 0; }
    bool IsPaused() const { return paused_ != 0; }
    int GetMode() const { return mode_; }
    CSndWaveInDevice* GetCurrentSource() const { return currentSource_; }
    CSndWaveOutDevice* GetCurrentOutput() const { return currentOutput_; }
    HWND GetOwner() const { return owner_; }

    TmyEventList<int> OnFinished;
    TmyEventList<WAVEFORMATEX> OnFormat;

    // The sound-card input's format: 32000 Hz mono 16-bit.
    static WAVEFORMATEX SoundCardFormat();
    // Buffers of closed sources kept until the owner has had the blocks they may carry.
    std::size_t GetRetiredCount() const { return retirement_.GetCount(); }

protected:
    void OnWindowMessage(const TmyMessage& message) override;

private:
    // Frees the buffers of a closed source once the owner has handled every block they carry: a
    // message posted after those blocks to a window of the same thread comes back after them.
    // (Not the player's own window: a device's reset takes the messages waiting for that one.)
    class BufferRetirement : public TmyComponent {
    public:
        void Retire(std::deque<CSndWaveBufferRef> buffers);
        std::size_t GetCount() const;

    protected:
        void OnWindowMessage(const TmyMessage& message) override;

    private:
        struct Batch {
            WPARAM fence;
            std::deque<CSndWaveBufferRef> buffers;
        };
        std::deque<Batch> batches_;
        WPARAM lastFence_ = 0;
    };

    MMRESULT OpenOutput();
    CSndWaveInDevice* ModeSource(int mode) const;
    MMRESULT CloseModeSource();
    MMRESULT PlayNoise(MMRESULT sum);
    MMRESULT PlayWaveFile(MMRESULT sum);
    MMRESULT PrefillAndStartWaveFile();
    // Noise in place of a demo sound file that cannot be played; told once.
    MMRESULT PlayNoiseForUnusableFile();
    MMRESULT Seek(uint32_t bytes, int direction);
    void ReportError(const char* text);

    ErrorReporter reportError_;
    CSndWaveInWaveFileStream* waveFile_ = nullptr;
    int paused_ = 0;
    int mode_ = PlayerModeSoundCard;
    HWND ownWindow_;
    HWND owner_;
    CSndWaveInDevice* soundCard_ = nullptr;
    CSndWaveInGeneratorNoise* noise_ = nullptr;
    CSndWaveOutDevice* output_ = nullptr;
    CSndWaveInDevice* currentSource_ = nullptr;
    CSndWaveOutDevice* currentOutput_ = nullptr;
    uint32_t seekStep_ = 0;
    int ready_ = 0;
    bool fileProblemTold_ = false;
    BufferRetirement retirement_;
};
