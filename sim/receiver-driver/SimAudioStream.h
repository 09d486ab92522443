#pragma once
// The audio stream of one open radio: a thread of its own that hands 16-bit mono PCM at 64000
// samples per second to the program's callback, one small chunk every 16 ms, paced against a
// steady clock so that the long-run rate is exact. Stopping joins the thread, so no callback runs
// once stop() has returned (except, necessarily, the one that itself asked for the stop).
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "receiver/K740RXDriverApi.h"

// What the radio hears at the moment, asked for before each chunk.
struct SimAudioConditions {
    bool delivering = false;          // false while unplugged: no chunks then
    std::optional<double> signalDbm;  // the tuned signal, nothing when none is tuned
};

class SimAudioStream {
public:
    static constexpr uint32_t kChunkSamples = 1024;  // 16 ms at 64000 samples per second

    using Conditions = std::function<SimAudioConditions()>;

    SimAudioStream(K7StreamCallback callback, void* context, Conditions conditions, uint64_t seed);
    ~SimAudioStream();
    SimAudioStream(const SimAudioStream&) = delete;
    SimAudioStream& operator=(const SimAudioStream&) = delete;

private:
    struct Shared;

    static void run(const std::shared_ptr<Shared>& shared);

    // Kept alive by the thread as well, so a stop asked for from inside the callback can let the
    // thread finish on its own.
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};
