#include "SimAudioStream.h"

#include <vector>

#include "SimToneSynth.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kChunkPeriod = std::chrono::microseconds(SimAudioStream::kChunkSamples * 1'000'000 /
                                                        SimToneSynth::kSampleRate);
// A stream that fell this far behind (a stalled machine) starts its schedule afresh instead of
// sending a burst.
constexpr auto kMaxLag = std::chrono::seconds(1);

}  // namespace

struct SimAudioStream::Shared {
    Shared(K7StreamCallback callback, void* context, Conditions conditions, uint64_t seed)
        : callback(callback), context(context), conditions(std::move(conditions)), synth(seed) {}

    const K7StreamCallback callback;
    void* const context;
    const Conditions conditions;
    SimToneSynth synth;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
};

SimAudioStream::SimAudioStream(K7StreamCallback callback, void* context, Conditions conditions,
                               uint64_t seed)
    : shared_(std::make_shared<Shared>(callback, context, std::move(conditions), seed)),
      thread_(&SimAudioStream::run, shared_) {}

SimAudioStream::~SimAudioStream() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->wake.notify_all();
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();  // stopped from its own callback: it ends when the callback returns
    } else {
        thread_.join();
    }
}

void SimAudioStream::run(const std::shared_ptr<Shared>& shared) {
    std::vector<int16_t> chunk(kChunkSamples);
    Clock::time_point due = Clock::now();
    for (;;) {
        due += kChunkPeriod;
        {
            std::unique_lock lock(shared->mutex);
            if (shared->wake.wait_until(lock, due, [&] { return shared->stopping; })) {
                return;
            }
        }
        const SimAudioConditions now = shared->conditions();
        if (now.delivering) {
            shared->synth.render(chunk, now.signalDbm);
            shared->callback(shared->context, chunk.data(),
                             static_cast<uint32_t>(chunk.size() * sizeof(int16_t)), 0);
        }
        if (Clock::now() - due > kMaxLag) {
            due = Clock::now();
        }
    }
}
