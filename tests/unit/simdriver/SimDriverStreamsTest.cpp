#include <gtest/gtest.h>

#include <dlfcn.h>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <numbers>
#include <vector>

#include "SimDriverLibrary.h"
#include "SimFile.h"

namespace {

constexpr double kSampleRate = 64000.0;

// Counts what the library's stream thread hands over and keeps the most recent samples.
class StreamProbe {
public:
    static void onChunk(void* context, const void* data, uint32_t bytes, uint32_t) {
        static_cast<StreamProbe*>(context)->take(static_cast<const int16_t*>(data), bytes);
    }

    uint64_t bytes() const { return bytes_.load(); }
    uint32_t largestChunk() const { return largest_.load(); }
    bool sawOddChunk() const { return odd_.load(); }

    // `count` samples delivered from now on.
    std::vector<int16_t> collect(size_t count) {
        {
            std::lock_guard lock(mutex_);
            samples_.clear();
            wanted_ = count;
        }
        EXPECT_TRUE(PumpUntil([&] {
            std::lock_guard lock(mutex_);
            return samples_.size() >= count;
        }));
        std::lock_guard lock(mutex_);
        wanted_ = 0;
        return samples_;
    }

private:
    void take(const int16_t* samples, uint32_t bytes) {
        bytes_ += bytes;
        largest_ = std::max(largest_.load(), bytes);
        odd_ = odd_ || bytes % 2 != 0;
        std::lock_guard lock(mutex_);
        if (samples_.size() < wanted_) {
            samples_.insert(samples_.end(), samples, samples + bytes / 2);
        }
    }

    std::atomic<uint64_t> bytes_ = 0;
    std::atomic<uint32_t> largest_ = 0;
    std::atomic<bool> odd_ = false;
    std::mutex mutex_;
    std::vector<int16_t> samples_;
    size_t wanted_ = 0;
};

double rms(const std::vector<int16_t>& samples) {
    double sum = 0.0;
    for (const int16_t sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

// Amplitude of the component at `hertz` (a single-bin DFT).
double toneAmplitude(const std::vector<int16_t>& samples, double hertz) {
    double re = 0.0;
    double im = 0.0;
    for (size_t n = 0; n < samples.size(); ++n) {
        const double angle = 2.0 * std::numbers::pi * hertz * static_cast<double>(n) / kSampleRate;
        re += samples[n] * std::cos(angle);
        im += samples[n] * std::sin(angle);
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(samples.size());
}

// Bytes delivered stay the same for a while: no callback runs any more.
void expectSilentStream(const StreamProbe& probe) {
    const uint64_t settled = probe.bytes();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(probe.bytes(), settled);
}

TEST(SimDriverStreams, ATunedSignalSoundsAsTonesDeliveredInRealTimeUntilStopped) {
    unsetenv("QVK740RX_SIM");
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("DEMO");
    StreamProbe probe;
    ASSERT_EQ(driver.SetFrequency(handle, 142750000), 1);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(driver.SetupStreams(handle, 0, 0, &StreamProbe::onChunk, &probe), 0U);
    const std::vector<int16_t> onSignal = probe.collect(16384);
    ASSERT_TRUE(PumpUntil([&] { return probe.bytes() > 64000; }));

    // Never ahead of 64000 samples per second, however fast the machine.
    const uint64_t samples = probe.bytes() / 2;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LE(static_cast<double>(samples), seconds * kSampleRate + 1.0);
    EXPECT_LE(probe.largestChunk(), 8192U);
    EXPECT_FALSE(probe.sawOddChunk());

    ASSERT_EQ(driver.SetFrequency(handle, 150000000), 1);
    probe.collect(2048);  // what was already on its way
    const std::vector<int16_t> offSignal = probe.collect(16384);
    EXPECT_GT(rms(onSignal), 10.0 * rms(offSignal));
    EXPECT_GT(rms(offSignal), 0.0) << "low-level noise, not silence";
    for (const double tone : {750.0, 1210.0}) {
        EXPECT_GT(toneAmplitude(onSignal, tone), 20.0 * toneAmplitude(onSignal, 5000.0)) << tone;
    }

    EXPECT_EQ(driver.SetupStreams(handle, 0, 0, nullptr, nullptr), 0U);
    expectSilentStream(probe);
}

TEST(SimDriverStreams, ClosingOrUnplugStopsTheStream) {
    SimFile file(SimFile::radio(0, "4711001", "K7USB-A"));
    SimDriverLibrary driver;
    const K7Handle demo = driver.K7Open("DEMO");
    const K7Handle radio = driver.K7Open("4711001");
    StreamProbe demoProbe;
    StreamProbe radioProbe;
    ASSERT_NE(driver.SetupStreams(demo, 0, 0, &StreamProbe::onChunk, &demoProbe), 0U);
    ASSERT_NE(driver.SetupStreams(radio, 0, 0, &StreamProbe::onChunk, &radioProbe), 0U);
    ASSERT_TRUE(PumpUntil([&] { return demoProbe.bytes() > 0 && radioProbe.bytes() > 0; }));

    ASSERT_NE(driver.CloseRadioDevice(demo), 0);
    expectSilentStream(demoProbe);

    file.write(SimFile::radio(0, "4711001", "K7USB-A", false, false));
    ASSERT_TRUE(PumpUntil([&] { return driver.IsDeviceConnected(radio) == 0; }));
    expectSilentStream(radioProbe);
    EXPECT_EQ(driver.SetupStreams(radio, 0, 0, &StreamProbe::onChunk, &radioProbe), 0U);
    EXPECT_EQ(driver.SetupStreams(radio, 0, 0, nullptr, nullptr), 0U);
}

TEST(SimDriverStreams, UnloadingTheLibraryStopsItsStreams) {
    unsetenv("QVK740RX_SIM");
    StreamProbe probe;
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("DEMO");
    ASSERT_NE(driver.SetupStreams(handle, 0, 0, &StreamProbe::onChunk, &probe), 0U);
    ASSERT_TRUE(PumpUntil([&] { return probe.bytes() > 0; }));

    ASSERT_TRUE(driver.unload());
    EXPECT_EQ(dlopen(SimDriverLibrary::path().toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD),
              nullptr)
        << "the library is really gone";
    expectSilentStream(probe);
}

}  // namespace
