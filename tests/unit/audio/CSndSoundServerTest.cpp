#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <cmath>
#include <vector>

#include "AudioTestSupport.h"
#include "PulseTestSupport.h"
#include "audio/CSndResampler.h"
#include "audio/CSndWaveInDevice.h"
#include "audio/CSndWaveOutDevice.h"
#include "audio/K740RXAudioMessages.h"

namespace {

// Under ThreadSanitizer the sound server is left out: Qt Multimedia's PulseAudio plugin and
// libpulse are not instrumented. The devices' threading runs under TSan in the virtual-card tests.
#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
#else
constexpr bool kUnderThreadSanitizer = false;
#endif

// A PulseAudio server to test against: the test run's, or one started here. Qt Multimedia looks
// for a server only once, so this comes first.
bool SoundServerRunning() {
    static PulseTestServer server;
    static const bool running = server.Ensure();
    return running;
}

std::vector<int16_t> DemoSound() {
    return ReadWaveFile(QCoreApplication::applicationDirPath() + "/demo.wav").samples;
}

// Energy of one frequency in a signal (Goertzel).
double Power(const std::vector<int16_t>& s, double frequency, double rate) {
    const double w = 2 * M_PI * frequency / rate;
    double s1 = 0, s2 = 0;
    for (int16_t x : s) {
        const double s0 = x + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2) / double(s.size());
}

TEST(DemoSound, IsAFewSecondsOfRecognisableTonesAt48000) {
    EnsureCoreApp();
    const WaveFileContents w = ReadWaveFile(QCoreApplication::applicationDirPath() + "/demo.wav");
    ASSERT_TRUE(w.valid);
    EXPECT_EQ(w.sampleRate, 48000u);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_GE(w.samples.size(), 3u * 48000);
    // Its lines stand far above the spectrum beside them.
    for (double line : {50.0, 100.0, 440.0}) {
        EXPECT_GT(Power(w.samples, line, 48000), 20 * Power(w.samples, line + 13, 48000)) << line;
    }
    // Quiet enough for the player's gain at the default volume.
    const auto [lo, hi] = std::minmax_element(w.samples.begin(), w.samples.end());
    EXPECT_LE(std::max(-int(*lo), int(*hi)), 4096);
}

// Plays `blocks` through an output device on the sound server, keeping six or seven queued as the
// program does, while an input device records the null sink's monitor.
struct Loop {
    MessageSink window;
    CSndWaveOutDevice output{window.GetHandle()};
    CSndWaveInDevice input{window.GetHandle()};
    std::vector<std::vector<int16_t>> blocks;
    std::size_t next = 0;
    std::size_t played = 0;
    std::vector<int16_t> recorded;

    Loop() {
        window.onMessage = [this](const TmyMessage& m) {
            auto* header = reinterpret_cast<WAVEHDR*>(m.lParam);
            if (m.message == MM_WOM_DONE) {
                ++played;
                output.OnDone(header);
                WriteNext();
            } else if (m.message == MM_WIM_DATA) {
                const auto* data = reinterpret_cast<const int16_t*>(header->lpData);
                recorded.insert(recorded.end(), data, data + header->dwBytesRecorded / 2);
                input.OnData(header);
                input.TrimBuffers();
            }
        };
    }
    ~Loop() { window.onMessage = nullptr; }
    void WriteNext() {
        if (next < blocks.size()) {
            const auto& b = blocks[next++];
            output.Write(b.data(), uint32_t(b.size() * 2));
        }
    }
};

class CSndSoundServer : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApp();
        if (kUnderThreadSanitizer) {
            GTEST_SKIP() << "the sound server is not tested under ThreadSanitizer";
        }
        ASSERT_TRUE(SoundServerRunning())
            << "no PulseAudio server; scripts/install-deps installs one";
        qunsetenv("K740RX_AUDIO");
    }
};

TEST_F(CSndSoundServer, PlaysThroughTheNullSinkAndRecordsFromItsMonitor) {
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const auto nullrec = std::find_if(inputs.begin(), inputs.end(),
                                      [](const QAudioDevice& d) { return d.id() == "nullrec"; });
    ASSERT_NE(nullrec, inputs.end()) << "the server has no nullrec source";

    // What the program plays for a demo receiver: the demo sound converted to 64000 Hz.
    const std::vector<int16_t> demo = DemoSound();
    ASSERT_GE(demo.size(), 3u * 48000);
    CSndResampler converter;
    converter.Configure(48000, 64000, 2048);
    Loop loop;
    std::vector<int16_t> reference;
    for (std::size_t at = 0; at + 2048 <= 3 * 48000; at += 2048) {
        uint32_t count = 0;
        const int16_t* out = converter.Process(demo.data() + at, 2048, &count);
        loop.blocks.emplace_back(out, out + count);
        reference.insert(reference.end(), out, out + count);
    }

    WAVEFORMATEX format = CSndWaveOutDevice::DefaultFormat();  // 64000 Hz mono 16-bit
    loop.input.SetDeviceId(uint32_t(nullrec - inputs.begin()));
    loop.input.SetFormat(format);
    ASSERT_EQ(loop.input.Open(), MMSYSERR_NOERROR) << loop.input.GetErrorText();
    ASSERT_EQ(loop.input.Start(), MMSYSERR_NOERROR);
    NullrecCapture capture;
    ASSERT_TRUE(capture.Start(64000));
    ASSERT_EQ(loop.output.Open(), MMSYSERR_NOERROR) << loop.output.GetErrorText();
    // An idle null sink takes a while before it consumes anything.
    PumpFor(1500ms);
    for (int i = 0; i < CSndWaveOutDevice::kMaxQueued; ++i) {
        loop.WriteNext();
    }
    ASSERT_TRUE(PumpUntil([&] { return loop.played == loop.blocks.size(); }, 30s))
        << loop.played << " of " << loop.blocks.size() << " blocks played";
    PumpFor(500ms);
    loop.input.ResetAndStop();
    loop.input.Close();
    loop.output.Close();
    const std::vector<int16_t> parecRecording = capture.Stop();

    // One second from the middle of what was played is found in both recordings.
    const std::vector<int16_t> middle(reference.begin() + 64000, reference.begin() + 128000);
    EXPECT_GT(BestCorrelation(loop.recorded, middle), 0.8);
    EXPECT_GT(BestCorrelation(parecRecording, middle), 0.8);
    // And a stretch of the sound that was never played is not.
    const std::vector<int16_t> unplayed(demo.begin() + 4 * 48000, demo.begin() + 5 * 48000);
    EXPECT_LT(BestCorrelation(loop.recorded, unplayed), 0.5);
}

TEST_F(CSndSoundServer, UnknownDeviceNumberIsRefusedAtOnce) {
    MessageSink window;
    CSndWaveOutDevice output(window.GetHandle());
    output.SetDeviceId(999);
    EXPECT_EQ(output.Open(), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(output.GetState(), CSndWaveOutDevice::DeviceClosed);
}

}  // namespace
