#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "audio/K740RXAudioMessages.h"
#include "receiver/K740RXReceiverMessages.h"

namespace {

// A receiver's float block as the receiver posts it.
struct ReceiverBlock {
    std::vector<float> samples;
    AudioBlockFormat format{6, 0, 0};
    AudioBlock block{};
    explicit ReceiverBlock(std::vector<float> s) : samples(std::move(s)) {
        block = {0, &format, 0, 64000, uint32_t(samples.size() * 4), samples.data(), nullptr};
    }
    LPARAM lParam() const { return reinterpret_cast<LPARAM>(&block); }
};

struct Fixture {
    VirtualCard card;
    QTemporaryDir dir;
    CSndAudioPath path;
    std::vector<const CSndAudioPath::Block*> spectrum;
    TmySubscription listening;
    Fixture() {
        listening = path.OnSpectrumBlock.Subscribe(
            [this](void*, const CSndAudioPath::Block* b) { spectrum.push_back(b); });
    }
    QString File(const char* name) const { return dir.filePath(name); }
    // What was played, as the recording holds it.
    std::vector<int16_t> Played() {
        const QString file = path.GetRecordingPath();
        path.StopRecording();
        return ReadWaveFile(file).samples;
    }
};

TEST(CSndAudioPath, ReceiverBlocksGetVolumeClippingAndSixteenBitsOrSilenceWithTheMonitorOff) {
    Fixture f;
    ASSERT_TRUE(f.path.StartRecording(f.File("r.wav")));
    f.path.SetVolume(16);  // y = 8 x
    ReceiverBlock block({0.01f, -0.01f, 0.5f, -0.2f, 0.124f, 0.0f});
    f.path.OnReceiverBlock(block.block);
    ASSERT_EQ(f.spectrum.size(), 1u);
    EXPECT_EQ(f.spectrum[0]->sampleRate, 64000u);
    EXPECT_EQ(f.spectrum[0]->samples, block.samples);  // the display sees it before volume
    f.path.SetMonitor(false);  // nothing is played, the recording gets silence
    f.path.OnReceiverBlock(block.block);
    EXPECT_EQ(f.spectrum.size(), 2u);  // the display still gets it
    f.path.SetMonitor(true);
    f.path.OnReceiverBlock(block.block);
    // trunc(8 x 32768 x): 0.08 -> 2621, clipped to 32767 / 32768 and -1.0.
    const std::vector<int16_t> played{2621, -2621, 32767, -32768, 32505, 0};
    std::vector<int16_t> expected = played;
    expected.resize(12, 0);
    expected.insert(expected.end(), played.begin(), played.end());
    EXPECT_EQ(f.Played(), expected);
}

TEST(CSndAudioPath, KeepsTheFiveNewestAndSkipsWhileScanningOrSelecting) {
    Fixture f;
    std::vector<std::unique_ptr<ReceiverBlock>> blocks;
    for (int i = 0; i < 7; ++i) {
        blocks.push_back(std::make_unique<ReceiverBlock>(std::vector<float>(64, 0.001f * i)));
        f.path.OnReceiverBlock(blocks.back()->block);
    }
    EXPECT_EQ(f.path.GetQueuedCount(), 5u);
    ASSERT_EQ(f.spectrum.size(), 7u);
    // The newest block is still intact in the queue.
    EXPECT_FLOAT_EQ(f.spectrum.back()->samples[0], 0.006f);

    f.path.SetScanning(true);
    f.path.OnReceiverBlock(blocks[0]->block);
    f.path.SetScanning(false);
    f.path.BeginSelection();
    f.path.OnReceiverBlock(blocks[0]->block);
    EXPECT_EQ(f.spectrum.size(), 7u);
    f.path.EndSelection();
    EXPECT_EQ(f.path.GetQueuedCount(), 0u);
    // Empty blocks are nothing.
    f.path.OnReceiverBlock(ReceiverBlock({}).block);
    EXPECT_EQ(f.path.GetQueuedCount(), 0u);
    // Switched off: queued, but neither shown nor played.
    ASSERT_TRUE(PumpUntil([&] {
        f.path.SetPower(false);
        f.path.OnReceiverBlock(blocks[1]->block);
        return f.path.GetQueuedCount() > 0;
    }));
    EXPECT_EQ(f.spectrum.size(), 7u);
}

TEST(CSndAudioPath, ReceiverBlocksPostedBeforeASelectionChangeAreDropped) {
    Fixture f;
    ReceiverBlock previous(std::vector<float>(32, 0.25f));
    ReceiverBlock next(std::vector<float>(32, -0.25f));
    // The main window routes the receiver message to the path, as the controller does.
    MessageSink mainWindow;
    mainWindow.onMessage = [&](const TmyMessage& m) {
        if (m.message == WM_RCV_AUDIO_BLOCK) {
            f.path.OnReceiverBlock(*reinterpret_cast<const AudioBlock*>(m.lParam));
        }
    };
    for (int i = 0; i < 3; ++i) {
        PostMessage(mainWindow.GetHandle(), WM_RCV_AUDIO_BLOCK, 0, previous.lParam());
    }
    f.path.BeginSelection();
    f.path.EndSelection();
    PostMessage(mainWindow.GetHandle(), WM_RCV_AUDIO_BLOCK, 0, next.lParam());
    ASSERT_TRUE(PumpUntil([&] { return mainWindow.messages.size() == 4; }));
    ASSERT_EQ(f.spectrum.size(), 1u);
    EXPECT_FLOAT_EQ(f.spectrum[0]->samples[0], -0.25f);
}

TEST(CSndAudioPath, DemoPlayerBlocksAreConvertedToSixtyFourThousandAndPlayed) {
    Fixture f;
    MessageSink owner;
    CSndWavePlayer player(owner.GetHandle(), [](const std::string&) {});
    ASSERT_TRUE(player.IsReady());
    ASSERT_EQ(player.Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
    f.path.SetPlayer(&player);
    owner.onMessage = [&](const TmyMessage& m) {
        if (m.message == WM_AUDIO_BLOCK) {
            f.path.OnPlayerBlock(m.wParam, m.lParam);
        }
    };
    // Not a demo receiver: player blocks are not for us.
    ASSERT_TRUE(PumpUntil([&] { return owner.messages.size() >= 2; }));
    EXPECT_TRUE(f.spectrum.empty());

    f.path.SetDemo(true);
    ASSERT_TRUE(f.path.StartRecording(f.File("demo.wav")));
    ASSERT_TRUE(PumpUntil([&] { return f.spectrum.size() >= 8; }));
    EXPECT_EQ(f.spectrum.back()->sampleRate, 48000u);
    EXPECT_EQ(f.spectrum.back()->samples.size(), 2048u);
    // Blocks reach the player's output (held there once written).
    EXPECT_GT(player.GetCurrentOutput()->GetHeldCount(), 0u);
    // The source's buffers are released as blocks come, so they do not pile up.
    EXPECT_LE(player.GetCurrentSource()->GetHeldCount(), CSndWaveInDevice::kBufferCount + 1);
    // While scanning nothing is played, but the buffers are still released.
    f.path.SetScanning(true);
    const std::size_t shown = f.spectrum.size();
    const std::size_t seen = owner.messages.size();
    ASSERT_TRUE(PumpUntil([&] { return owner.messages.size() >= seen + 20; }));
    EXPECT_EQ(f.spectrum.size(), shown);
    EXPECT_LE(player.GetCurrentSource()->GetHeldCount(), CSndWaveInDevice::kBufferCount + 1);
    f.path.SetScanning(false);

    const std::vector<int16_t> played = f.Played();
    // Every 2048-sample block became 2730 samples; the noise, 0..499 at volume 16, is 0..3992.
    ASSERT_EQ(played.size() % 2730, 0u);
    ASSERT_GE(played.size(), 8 * 2730u);
    // The converter's taps add up to 1 in magnitude 1.35, so its negative ones to 0.175: over
    // input of 0..3992 the output stays within -0.175 x 3992 and 1.175 x 3992.
    for (std::size_t i = 64; i < played.size(); ++i) {
        ASSERT_GE(played[i], -699) << i;
        ASSERT_LE(played[i], 4691) << i;
    }
    f.path.SetPlayer(nullptr);
    owner.onMessage = nullptr;
}

TEST(CSndAudioPath, PausedPlayerStopsBeforeTheOutput) {
    Fixture f;
    MessageSink owner;
    CSndWavePlayer player(owner.GetHandle(), [](const std::string&) {});
    ASSERT_EQ(player.Play(CSndWavePlayer::PlayerModeSoundCard), MMSYSERR_NOERROR);
    f.path.SetPlayer(&player);
    ASSERT_TRUE(f.path.StartRecording(f.File("p.wav")));
    player.Pause();
    ReceiverBlock block(std::vector<float>(100, 0.05f));
    f.path.OnReceiverBlock(block.block);
    EXPECT_EQ(f.spectrum.size(), 1u);
    EXPECT_EQ(player.GetCurrentOutput()->GetHeldCount(), 0u);
    EXPECT_TRUE(f.Played().empty());
    f.path.SetPlayer(nullptr);
}

TEST(CSndAudioPath, ARecordingTheDiskCannotTakeStopsAndSaysWhyOnce) {
    Fixture f;
    std::vector<QString> told;
    auto listening = f.path.OnRecordingStopped.Subscribe(
        [&told](void*, const QString& why) { told.push_back(why); });
    const QString file = f.File("full.wav");
    ReceiverBlock block(std::vector<float>(100, 0.01f));
    {
        const FileSizeLimit limit(44 + 3 * 200);  // the header and three blocks
        ASSERT_TRUE(f.path.StartRecording(file));
        for (int i = 0; i < 6; ++i) {
            f.path.OnReceiverBlock(block.block);
        }
    }
    EXPECT_FALSE(f.path.IsRecording());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "Recording to " + file + " stopped: File too large");
    EXPECT_EQ(f.path.GetRecordingError(), told[0]);
    const WaveFileContents w = ReadWaveFile(file);
    ASSERT_TRUE(w.valid);
    EXPECT_EQ(w.samples, std::vector<int16_t>(300, 2621));

    // A recording that cannot start says why; the next one that starts clears the reason.
    const QString blocker = f.File("file");
    QFile(blocker).open(QIODevice::WriteOnly);
    EXPECT_FALSE(f.path.StartRecording(blocker + "/r.wav"));
    EXPECT_FALSE(f.path.IsRecording());
    EXPECT_EQ(f.path.GetRecordingError(), blocker + "/r.wav cannot be created: Not a directory");
    ASSERT_TRUE(f.path.StartRecording(f.File("ok.wav")));
    EXPECT_TRUE(f.path.GetRecordingError().isEmpty());
    f.path.StopRecording();
    EXPECT_EQ(told.size(), 1u);
}

}  // namespace
