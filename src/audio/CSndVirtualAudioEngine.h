#pragma once
// One open device of the virtual sound card: a thread that moves the device's bytes at the rate
// of its format, every few milliseconds, until the engine is destroyed.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/ISndAudioBackend.h"

class CSndVirtualAudioBackend;

class CSndVirtualAudioEngine : public ISndAudioEngine {
public:
    static constexpr auto kTick = std::chrono::milliseconds(10);

    CSndVirtualAudioEngine(std::shared_ptr<CSndWaveQueue> queue, CSndVirtualAudioBackend& card);
    ~CSndVirtualAudioEngine() override;

private:
    void Run();

    const std::shared_ptr<CSndWaveQueue> queue_;
    CSndVirtualAudioBackend& card_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};
