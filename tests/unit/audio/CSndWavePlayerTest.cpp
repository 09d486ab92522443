#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "WaveImage.h"
#include "audio/CSndWaveBuffer.h"
#include "audio/CSndWavePlayer.h"
#include "audio/K740RXAudioMessages.h"

namespace {

// The owner window: keeps a copy of every block (the player's buffer may go away later) and
// releases the source's oldest buffer per block, as the controller does.
struct Owner {
    VirtualCard card;
    MessageSink window;
    std::unique_ptr<CSndWavePlayer> player;
    std::vector<std::vector<char>> blocks;
    std::vector<std::string> errors;

    QTemporaryDir dir;

    Owner() {
        window.onMessage = [this](const TmyMessage& m) {
            if (m.message != WM_AUDIO_BLOCK) {
                return;
            }
            const auto* data = reinterpret_cast<const char*>(m.wParam);
            blocks.emplace_back(data, data + m.lParam);
            if (player && player->GetCurrentSource()) {
                player->GetCurrentSource()->TrimBuffers();
            }
        };
        player = std::make_unique<CSndWavePlayer>(
            window.GetHandle(), [this](const std::string& text) { errors.push_back(text); });
    }
    ~Owner() {
        player.reset();
        window.onMessage = nullptr;
    }
    std::string Save(const char* name, const WaveImage& image) {
        const std::string path = dir.filePath(name).toStdString();
        EXPECT_TRUE(image.Save(path));
        return path;
    }
    bool WaitForBlocks(std::size_t n) {
        return PumpUntil([&] { return blocks.size() >= n; });
    }
};

// What the operator is told about a demo sound file that cannot be played.
std::string UnplayableFile(const std::string& path) {
    return "The demo sound file " + path +
           " is missing or cannot be read. Noise is played instead.";
}

int16_t SampleOf(const std::vector<char>& block, std::size_t index) {
    int16_t v;
    std::memcpy(&v, block.data() + 2 * index, 2);
    return v;
}

TEST(CSndWavePlayer, IsReadyAndSoundCardModeOpensOnlyTheOutput) {
    Owner owner;
    ASSERT_TRUE(owner.player->IsReady());
    EXPECT_TRUE(owner.errors.empty());
    std::vector<WAVEFORMATEX> formats;
    auto listening =
        owner.player->OnFormat.Subscribe([&](void*, WAVEFORMATEX f) { formats.push_back(f); });
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeSoundCard), MMSYSERR_NOERROR);
    ASSERT_NE(owner.player->GetCurrentOutput(), nullptr);
    EXPECT_EQ(owner.player->GetCurrentOutput()->GetState(), CSndWaveOutDevice::DeviceOpen);
    EXPECT_EQ(owner.player->GetCurrentOutput()->GetFormat().samplesPerSecond, 64000u);
    EXPECT_EQ(owner.player->GetCurrentSource()->GetState(), CSndWaveInDevice::DeviceClosed);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].samplesPerSecond, 32000u);  // the sound-card input's saved format
    PumpFor(200ms);
    EXPECT_TRUE(owner.blocks.empty());
}

TEST(CSndWavePlayer, NoiseModeDeliversSmallNonNegativeNoise) {
    Owner owner;
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.player->GetCurrentSource()->GetFormat().samplesPerSecond, 48000u);
    ASSERT_TRUE(owner.WaitForBlocks(20));
    std::vector<int> histogram(500, 0);
    for (const auto& block : owner.blocks) {
        ASSERT_EQ(block.size(), 4096u);
        for (std::size_t i = 0; i < 2048; ++i) {
            const int16_t v = SampleOf(block, i);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, 500);
            ++histogram[v];
        }
    }
    // |g x 65535| mod 500 spreads evenly over 0..499.
    const double expected = 20.0 * 2048 / 500;
    for (int v = 0; v < 500; v += 50) {
        EXPECT_NEAR(histogram[v], expected, expected * 0.5) << v;
    }
    // The source's held buffers stay bounded while the owner trims.
    EXPECT_LE(owner.player->GetCurrentSource()->GetHeldCount(), CSndWaveInDevice::kBufferCount + 1);

    // The virtual card has one input; another number does not exist: the error path, then back.
    EXPECT_EQ(owner.player->SetInputDeviceId(4), MMSYSERR_BADDEVICEID);
    ASSERT_EQ(owner.errors.size(), 1u);
    EXPECT_EQ(owner.errors[0], "There is no sound device with this number.");
    EXPECT_EQ(owner.player->SetInputDeviceId(WAVE_MAPPER), MMSYSERR_NOERROR);
    const std::size_t count = owner.blocks.size();
    ASSERT_TRUE(owner.WaitForBlocks(count + 2));
}

TEST(CSndWavePlayer, WaveFileModePrefillsFiveBlocksThenPlaysTheFileOn) {
    Owner owner;
    const std::string path = owner.Save("ramp.wav", WaveImage::Mono16(48000));
    EXPECT_EQ(owner.player->SetWaveFileName(path.c_str(), 260), 0u);
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.player->GetMode(), CSndWavePlayer::PlayerModeWaveFile);
    ASSERT_TRUE(owner.WaitForBlocks(12));
    // Block k holds ramp samples from 50 + 2048 k on: the five pre-filled blocks and the card's
    // blocks follow each other without a gap or repeat.
    for (std::size_t k = 0; k < owner.blocks.size(); ++k) {
        ASSERT_EQ(owner.blocks[k].size(), 4096u) << k;
        EXPECT_EQ(SampleOf(owner.blocks[k], 0), int16_t(50 + 2048 * k)) << k;
        EXPECT_EQ(SampleOf(owner.blocks[k], 2047), int16_t(50 + 2048 * k + 2047)) << k;
    }
    // Stopping hands back the queued buffers; after that no block comes.
    owner.player->Stop();
    PumpFor(50ms);
    const std::size_t count = owner.blocks.size();
    PumpFor(150ms);
    EXPECT_EQ(owner.blocks.size(), count);
}

TEST(CSndWavePlayer, ShortFileLoopsFromItsStartOnEveryBlock) {
    Owner owner;
    // 3000 samples: after the skipped 100 bytes there are fewer than 4096 bytes left.
    const std::string path = owner.Save("short.wav", WaveImage::Mono16(1500));
    owner.player->SetWaveFileName(path.c_str(), 260);
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    ASSERT_TRUE(owner.WaitForBlocks(9));
    for (std::size_t k = 5; k < owner.blocks.size(); ++k) {
        EXPECT_EQ(SampleOf(owner.blocks[k], 0), 50) << k;  // the file's first played sample
        EXPECT_EQ(SampleOf(owner.blocks[k], 1449), 50 + 1449) << k;
    }
}

TEST(CSndWavePlayer, PauseAndPlayWhilePausedResumesTheOldMode) {
    Owner owner;
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
    ASSERT_TRUE(owner.WaitForBlocks(2));
    EXPECT_EQ(owner.player->Pause(), MMSYSERR_NOERROR);
    EXPECT_TRUE(owner.player->IsPaused());
    EXPECT_EQ(owner.player->GetCurrentSource()->GetState(), CSndWaveInDevice::DeviceStopped);
    PumpFor(50ms);
    const std::size_t count = owner.blocks.size();
    PumpFor(150ms);
    EXPECT_EQ(owner.blocks.size(), count);
    // Play with another mode only resumes.
    EXPECT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_FALSE(owner.player->IsPaused());
    EXPECT_EQ(owner.player->GetMode(), CSndWavePlayer::PlayerModeNoise);
    ASSERT_TRUE(owner.WaitForBlocks(count + 2));
    // A Stop while paused starts the source first and then stops it for good.
    owner.player->Pause();
    EXPECT_EQ(owner.player->Stop(), MMSYSERR_NOERROR);
    EXPECT_FALSE(owner.player->IsPaused());
    EXPECT_EQ(owner.player->GetCurrentSource()->GetState(), CSndWaveInDevice::DeviceStopped);
}

TEST(CSndWavePlayer, BadFilesAreRefusedOrPlayedAsFarAsTheyGo) {
    Owner owner;
    // No data chunk: it cannot be played, which is told, and noise plays instead.
    WaveImage noData;
    noData.Header().Format().FixRiffSize();
    const std::string noDataPath = owner.Save("nodata.wav", noData);
    owner.player->SetWaveFileName(noDataPath.c_str(), 260);
    EXPECT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.player->GetMode(), CSndWavePlayer::PlayerModeNoise);
    ASSERT_EQ(owner.errors.size(), 1u);
    EXPECT_EQ(owner.errors[0], UnplayableFile(noDataPath));
    // A file at the output's rate is refused by the check but its name is kept.
    const std::string fast = owner.Save("fast.wav", WaveImage::Mono16(10000, 64000));
    EXPECT_EQ(owner.player->SetWaveFileName(fast.c_str(), 260), 1u);
    // Stereo 8-bit plays in its own format; a format the card cannot take shows the box.
    WaveImage stereo;
    stereo.Header().Format(11025, 2, 8).DataHeader(20000).Fill(20000, 0x80).FixRiffSize();
    owner.player->SetWaveFileName(owner.Save("stereo.wav", stereo).c_str(), 260);
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.player->GetCurrentSource()->GetFormat().channels, 2);
    ASSERT_TRUE(owner.WaitForBlocks(6));
    WaveImage odd;
    odd.Header().Format(44100, 1, 24).DataHeader(9000).Fill(9000, 1).FixRiffSize();
    owner.player->SetWaveFileName(owner.Save("odd.wav", odd).c_str(), 260);
    EXPECT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), WAVERR_BADFORMAT);
    ASSERT_EQ(owner.errors.size(), 2u);
    EXPECT_EQ(owner.errors[1], "The sound device does not support this audio format.");
}

TEST(CSndWavePlayer, SeekMovesTheWaveFileAndReportsThePosition) {
    std::vector<int32_t> positions;  // outlives the player, which reports while it closes
    Owner owner;
    const std::string path = owner.Save("seek.wav", WaveImage::Mono16(96000));
    owner.player->SetWaveFileName(path.c_str(), 260);
    EXPECT_EQ(owner.player->SeekForward(1000), MMSYSERR_NOERROR);  // not in mode 2: nothing
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    auto* source = static_cast<CSndWaveInWaveFileStream*>(owner.player->GetCurrentSource());
    auto listening =
        source->OnPosition.Subscribe([&](void*, int32_t p) { positions.push_back(p); });
    const int32_t before = source->GetPosition();
    owner.player->SeekForward(0xFFFFFFFF);  // one second: the format's bytes per second
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), before + 96000);
    owner.player->SeekBack(1000000);
    EXPECT_EQ(positions.back(), 0);
}

TEST(CSndWavePlayer, AMissingDemoFileIsToldOnceAndNoisePlaysInstead) {
    Owner owner;
    const std::string missing = owner.dir.filePath("demo.wav").toStdString();
    // Every tune to a demo frequency asks for the file again.
    for (int tune = 0; tune < 3; ++tune) {
        owner.player->SetWaveFileName(missing.c_str(), 260);
        EXPECT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
        EXPECT_EQ(owner.player->GetMode(), CSndWavePlayer::PlayerModeNoise);
    }
    ASSERT_EQ(owner.errors.size(), 1u);
    EXPECT_EQ(owner.errors[0], UnplayableFile(missing));
    // Noise comes (the empty blocks are those a closing source hands back unfilled).
    ASSERT_TRUE(PumpUntil([&] {
        return std::count_if(owner.blocks.begin(), owner.blocks.end(),
                             [](const auto& block) { return block.size() == 4096u; }) >= 4;
    }));

    // Once the file has played, losing it again is told again.
    ASSERT_TRUE(WaveImage::Mono16(48000).Save(missing));
    owner.player->SetWaveFileName(missing.c_str(), 260);
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.player->GetMode(), CSndWavePlayer::PlayerModeWaveFile);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(missing)));
    owner.player->SetWaveFileName(missing.c_str(), 260);
    EXPECT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
    EXPECT_EQ(owner.errors.size(), 2u);
}

TEST(CSndWavePlayer, SwitchingSourcesOverAndOverKeepsNoMoreBuffersThanOneSourceNeeds) {
    Owner owner;
    const std::string path = owner.Save("ramp.wav", WaveImage::Mono16(48000));
    owner.player->SetWaveFileName(path.c_str(), 260);
    // A demo receiver and a real one chosen in turn, and the demo sound now and then; some
    // switches come before the blocks of the source just closed were handled.
    for (int round = 0; round < 12; ++round) {
        ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
        ASSERT_TRUE(owner.WaitForBlocks(owner.blocks.size() + 2));
        if (round % 3 == 2) {
            ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeWaveFile), MMSYSERR_NOERROR);
            ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
        }
        ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeSoundCard), MMSYSERR_NOERROR);
        PumpFor(20ms);
    }
    ASSERT_EQ(owner.player->Play(CSndWavePlayer::PlayerModeNoise), MMSYSERR_NOERROR);
    ASSERT_TRUE(owner.WaitForBlocks(owner.blocks.size() + 20));
    EXPECT_LE(owner.player->GetCurrentSource()->GetHeldCount(), CSndWaveInDevice::kBufferCount + 1);
    // The closed sources' buffers go once their blocks are handled.
    ASSERT_TRUE(PumpUntil([&] { return owner.player->GetRetiredCount() == 0; }));
    // What is left: the live source's and the output's (five kept, at most seven queued).
    EXPECT_LE(CSndWaveBuffer::GetLiveCount(), CSndWaveInDevice::kBufferCount + 1 + 5 + 7);
}

}  // namespace
