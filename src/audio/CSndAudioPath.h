#pragma once
// What the main window does with every audio block: receiver blocks (WM_RCV_AUDIO_BLOCK, float
// samples at 64000 Hz) and player blocks (WM_AUDIO_BLOCK, 16-bit samples at 48000 Hz) join a queue
// of the newest five, go to the spectrum display, and are played: volume and clipping, 16-bit
// samples, the demo's conversion to 64000 Hz, and the player's output while the monitor is on.
// What is played can be recorded to a WAV file. The controller only routes messages and state
// here.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "audio/CSndResampler.h"
#include "audio/CSndWaveRecorder.h"
#include "core/K740RXMessageRecords.h"
#include "core/TmyComponent.h"
#include "core/TmyEvents.h"

class CSndWavePlayer;

class CSndAudioPath : public TmyComponent {
public:
    static constexpr std::size_t kQueueLength = 5;
    static constexpr uint32_t kOutputRate = 64000;
    static constexpr uint32_t kPlayerRate = 48000;
    static constexpr uint32_t kPlayerBlockSamples = 2048;

    struct Block {
        std::vector<float> samples;  // -1 .. 1
        uint32_t sampleRate = 0;
    };

    CSndAudioPath();

    // The player whose blocks come and whose output plays; null when there is none (no sound
    // device, or shutting down), and then its blocks are ignored.
    void SetPlayer(CSndWavePlayer* player) { player_ = player; }
    // The current receiver's state.
    void SetDemo(bool demo) { demo_ = demo; }
    void SetPower(bool on) { power_ = on; }
    void SetScanning(bool scanning) { scanning_ = scanning; }
    void SetVolume(int volume) { volume_ = volume; }
    // The "Monitor" switch (the `Mute` value 1): off, nothing reaches the output.
    void SetMonitor(bool on) { monitor_ = on; }

    // Brackets a change of the selected receiver. Blocks are ignored meanwhile; the queue is
    // emptied, and receiver blocks that were already posted by the previous receiver are dropped.
    void BeginSelection();
    void EndSelection();

    // A receiver's block (WM_RCV_AUDIO_BLOCK), and the player's message with its parameters as
    // posted.
    void OnReceiverBlock(const AudioBlock& block);
    void OnPlayerBlock(WPARAM wParam, LPARAM lParam);

    // Records what is played (silence while the monitor is off) as 16-bit mono at 64000 Hz.
    // False when the file cannot be made; GetRecordingError() says why.
    bool StartRecording(const QString& path);
    void StopRecording();
    bool IsRecording() const { return recorder_.IsOpen(); }
    const QString& GetRecordingPath() const { return recorder_.GetPath(); }
    // Why the last recording could not start or ended by itself; empty when neither happened.
    const QString& GetRecordingError() const { return recorder_.GetError(); }

    std::size_t GetQueuedCount() const { return queued_; }

    // Every block, before volume, while the receiver is on and not scanning. The block stays
    // valid until five more blocks have come.
    TmyEventList<const Block*> OnSpectrumBlock;
    // Raised once when a recording ends by itself because its file cannot take more (a full
    // disk), with the reason. What was recorded until then stays in the file, a valid WAV.
    TmyEventList<const QString&> OnRecordingStopped;

protected:
    void OnWindowMessage(const TmyMessage& message) override;

private:
    bool Accepting() const { return !scanning_ && !selecting_; }
    Block& NextSlot();
    void PlayPlayerBlock(const int16_t* samples, std::size_t count);
    void Handle(Block& block);
    void Play(const Block& block);
    void Record(const int16_t* samples, uint32_t count);

    CSndWavePlayer* player_ = nullptr;
    bool demo_ = false;
    bool power_ = true;
    bool scanning_ = false;
    bool selecting_ = false;
    bool monitor_ = true;
    int volume_ = 16;
    // Receiver blocks posted before the selection's fence came back belong to the previous one.
    bool awaitingFence_ = false;
    std::array<Block, kQueueLength> queue_;
    std::size_t next_ = 0;
    std::size_t queued_ = 0;
    std::vector<int16_t> pcm_;
    CSndResampler converter_;
    CSndWaveRecorder recorder_;
};
