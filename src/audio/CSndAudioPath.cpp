#include "audio/CSndAudioPath.h"

#include <cmath>

#include "audio/CSndWavePlayer.h"
#include "audio/K740RXAudioMessages.h"

namespace {

constexpr float kLargestBelowOne = 32767.0f / 32768.0f;

}  // namespace

CSndAudioPath::CSndAudioPath() {
    converter_.Configure(float(kPlayerRate), float(kOutputRate), kPlayerBlockSamples);
}

void CSndAudioPath::BeginSelection() {
    selecting_ = true;
}

void CSndAudioPath::EndSelection() {
    queued_ = 0;
    next_ = 0;
    awaitingFence_ = PostMessage(GetHandle(), WM_AUDIO_SELECTION_FENCE, 0, 0);
    selecting_ = false;
}

void CSndAudioPath::OnWindowMessage(const TmyMessage& message) {
    if (message.message == WM_AUDIO_SELECTION_FENCE) {
        awaitingFence_ = false;
    }
}

CSndAudioPath::Block& CSndAudioPath::NextSlot() {
    Block& slot = queue_[next_];
    next_ = (next_ + 1) % kQueueLength;
    queued_ = std::min(queued_ + 1, kQueueLength);
    return slot;
}

void CSndAudioPath::OnReceiverBlock(const AudioBlock& block) {
    const std::size_t count = block.bytes / 4;
    if (block.samples == nullptr || count == 0 || awaitingFence_ || !Accepting()) {
        return;
    }
    Block& slot = NextSlot();
    slot.samples.assign(block.samples, block.samples + count);
    slot.sampleRate = kOutputRate;
    Handle(slot);
}

void CSndAudioPath::OnPlayerBlock(WPARAM wParam, LPARAM lParam) {
    if (player_ == nullptr) {
        return;
    }
    if (demo_) {
        PlayPlayerBlock(reinterpret_cast<const int16_t*>(wParam),
                        lParam > 0 ? std::size_t(lParam) / 2 : 0);
    }
    // The source holds its delivered buffers until told; every block it sent releases one, even
    // one that is not played (scanning, or a block that comes after a switch to a real
    // receiver), or they would pile up for good. Only once the block is used: it may lie in the
    // buffer released.
    if (CSndWaveInDevice* source = player_->GetCurrentSource()) {
        source->TrimBuffers();
    }
}

void CSndAudioPath::PlayPlayerBlock(const int16_t* samples, std::size_t count) {
    if (samples == nullptr || count == 0 || !Accepting()) {
        return;
    }
    Block& slot = NextSlot();
    slot.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        slot.samples[i] = float(samples[i]) / 32768.0f;
    }
    slot.sampleRate = kPlayerRate;
    Handle(slot);
}

void CSndAudioPath::Handle(Block& block) {
    if (!power_ || scanning_) {
        return;
    }
    OnSpectrumBlock.Raise(this, &block);
    Play(block);
}

void CSndAudioPath::Play(const Block& block) {
    if (player_ != nullptr && player_->IsPaused()) {
        return;
    }
    pcm_.resize(block.samples.size());
    const float gain = float(volume_) / 2;
    for (std::size_t i = 0; i < pcm_.size(); ++i) {
        float y = block.samples[i] * gain;
        if (std::fabs(y) >= 1.0f) {
            y = y > 0 ? kLargestBelowOne : -1.0f;
        }
        pcm_[i] = static_cast<int16_t>(std::trunc(y * 32768.0f));
    }
    const int16_t* out = pcm_.data();
    uint32_t count = uint32_t(pcm_.size());
    if (demo_) {
        out = converter_.Process(out, count, &count);
    }
    CSndWaveOutDevice* output = player_ != nullptr ? player_->GetCurrentOutput() : nullptr;
    if (output != nullptr && monitor_) {
        output->Write(out, count * 2);
    }
    if (recorder_.IsOpen()) {
        if (!monitor_) {
            pcm_.assign(count, 0);
            out = pcm_.data();
        }
        Record(out, count);
    }
}

void CSndAudioPath::Record(const int16_t* samples, uint32_t count) {
    if (!recorder_.Write(samples, count)) {
        // The recorder has closed the file; the switch must not go on claiming it records.
        OnRecordingStopped.Raise(this, recorder_.GetError());
    }
}

bool CSndAudioPath::StartRecording(const QString& path) {
    return recorder_.Open(path, kOutputRate);
}

void CSndAudioPath::StopRecording() {
    recorder_.Close();
}
