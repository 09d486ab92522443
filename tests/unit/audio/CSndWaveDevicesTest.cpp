#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/CSndWaveInDevice.h"
#include "audio/CSndWaveOutDevice.h"
#include "audio/K740RXAudioMessages.h"

namespace {

// A device with its callback window, handing each returned buffer back to it as the player does
// (which may release the buffer), after `seen` has looked at it.
template <typename Device>
struct Card {
    VirtualCard card;
    MessageSink window;
    std::unique_ptr<Device> device = std::make_unique<Device>(window.GetHandle());
    explicit Card(std::function<void(const WAVEHDR&)> seen) {
        window.onMessage = [this, seen](const TmyMessage& m) {
            auto* header = reinterpret_cast<WAVEHDR*>(m.lParam);
            if (m.message == MM_WOM_DONE || m.message == MM_WIM_DATA) {
                seen(*header);
                if constexpr (std::is_same_v<Device, CSndWaveOutDevice>) {
                    device->OnDone(header);
                } else {
                    device->OnData(header);
                }
            }
        };
    }
    ~Card() {
        window.onMessage = nullptr;
        device.reset();
    }
};

struct Output : Card<CSndWaveOutDevice> {
    std::vector<int16_t> done;  // first sample of each played buffer, in the order played
    Output()
        : Card([this](const WAVEHDR& h) {
              done.push_back(reinterpret_cast<int16_t*>(h.lpData)[0]);
          }) {}
};

struct Input : Card<CSndWaveInDevice> {
    std::vector<uint32_t> recorded;  // bytes of each returned buffer
    std::vector<char> firstBytes;
    Input()
        : Card([this](const WAVEHDR& h) {
              recorded.push_back(h.dwBytesRecorded);
              firstBytes.push_back(h.lpData[0]);
          }) {}
};

using Block = std::vector<int16_t>;

TEST(CSndWaveOutDevice, FirstSixBlocksAreCollectedThenQueuedInOrder) {
    Output out;
    ASSERT_EQ(out.device->Open(), MMSYSERR_NOERROR);
    std::vector<Block> blocks;
    for (int i = 0; i < 5; ++i) {
        blocks.push_back(Block(640, int16_t(i + 1)));
        EXPECT_EQ(out.device->Write(blocks.back().data(), 1280), MMSYSERR_NOERROR);
        EXPECT_TRUE(CSndWaveOutDevice::IsPrebuffering());
        EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 0);
    }
    PumpFor(50ms);
    EXPECT_TRUE(out.done.empty());  // nothing was handed to the card yet
    blocks.push_back(Block(640, 6));
    EXPECT_EQ(out.device->Write(blocks.back().data(), 1280), MMSYSERR_NOERROR);
    EXPECT_FALSE(CSndWaveOutDevice::IsPrebuffering());
    ASSERT_TRUE(PumpUntil([&] { return out.done.size() == 6; }));
    // The card played them oldest first, from copies of the blocks.
    EXPECT_EQ(out.done, (std::vector<int16_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 0);
    // Played buffers are kept, five of them.
    EXPECT_EQ(out.device->GetHeldCount(), CSndWaveOutDevice::kKeptBuffers);
    // From now on each block goes to the card at once.
    blocks.push_back(Block(640, 7));
    out.device->Write(blocks.back().data(), 1280);
    EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 1);
    ASSERT_TRUE(PumpUntil([&] { return out.done.size() == 7; }));
    EXPECT_EQ(out.device->Close(), MMSYSERR_NOERROR);
    EXPECT_EQ(out.device->GetHeldCount(), 0u);
}

TEST(CSndWaveOutDevice, BlocksBeyondSevenQueuedAreDroppedAndCloseHandsEverythingBack) {
    Output out;
    ASSERT_EQ(out.device->Open(), MMSYSERR_NOERROR);
    // Ten seconds each: none finishes while the test runs.
    const auto longBlock = Block(640000, 100);
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(out.device->Write(longBlock.data(), uint32_t(longBlock.size() * 2)),
                  MMSYSERR_NOERROR);
    }
    EXPECT_EQ(out.device->GetHeldCount(), 7u);
    EXPECT_EQ(out.device->Write(longBlock.data(), uint32_t(longBlock.size() * 2)),
              MMSYSERR_NOERROR);
    EXPECT_EQ(out.device->GetHeldCount(), 7u);  // the eighth block was lost
    EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 7);
    // Closing resets the card: every queued buffer's notice is handled before Close returns.
    EXPECT_EQ(out.device->Close(), MMSYSERR_NOERROR);
    EXPECT_EQ(out.done.size(), 7u);
    EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 0);
    EXPECT_EQ(out.device->GetHeldCount(), 0u);
    PumpFor(30ms);
    EXPECT_EQ(out.done.size(), 7u);  // and none comes afterwards
}

TEST(CSndWaveOutDevice, PauseAndResetReturnsTheQueueAndRestartPlaysOn) {
    Output out;
    ASSERT_EQ(out.device->Open(), MMSYSERR_NOERROR);
    const auto longBlock = Block(640000, 5);
    for (int i = 0; i < 6; ++i) {
        out.device->Write(longBlock.data(), uint32_t(longBlock.size() * 2));
    }
    EXPECT_EQ(out.device->PauseAndReset(), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return out.done.size() == 6; }));
    EXPECT_EQ(CSndWaveOutDevice::GetQueuedCount(), 0);
    // Paused: a new block stays queued until Restart.
    const auto shortBlock = Block(64, 9);
    out.device->Write(shortBlock.data(), 128);
    PumpFor(60ms);
    EXPECT_EQ(out.done.size(), 6u);
    EXPECT_EQ(out.device->Restart(), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return out.done.size() == 7; }));
}

TEST(CSndWaveOutDevice, RefusedFormatsAndErrorTexts) {
    Output out;
    // Only encoding, channels, rate and sample size make a new format.
    WAVEFORMATEX derivedOnly = CSndWaveOutDevice::DefaultFormat();
    derivedOnly.bytesPerSecond = 1;
    EXPECT_EQ(out.device->SetFormat(derivedOnly), 0u);
    EXPECT_EQ(out.device->GetFormat().bytesPerSecond, 128000u);
    WAVEFORMATEX odd = CSndWaveOutDevice::DefaultFormat();
    odd.bitsPerSample = 12;
    EXPECT_EQ(out.device->SetFormat(odd), 0u);
    EXPECT_EQ(out.device->Open(), WAVERR_BADFORMAT);
    EXPECT_EQ(out.device->GetState(), CSndWaveOutDevice::DeviceClosed);
    EXPECT_STREQ(out.device->GetErrorText(),
                 "The sound device does not support this audio format.");
    // Writing to a closed device neither crashes nor plays: blocks are held, never queued.
    const auto block = Block(64, 1);
    for (int i = 0; i < 20; ++i) {
        out.device->Write(block.data(), 128);
    }
    EXPECT_LE(out.device->GetHeldCount(), std::size_t(CSndWaveOutDevice::kMaxQueued));
    PumpFor(30ms);
    EXPECT_TRUE(out.done.empty());
    out.device->SetDeviceId(3);
    out.device->SetFormat(CSndWaveOutDevice::DefaultFormat());
    EXPECT_EQ(out.device->Open(), MMSYSERR_BADDEVICEID);
    EXPECT_STREQ(out.device->GetErrorText(), "There is no sound device with this number.");
    char text[16];
    EXPECT_NE(waveOutGetErrorText(12345, text, sizeof text), MMSYSERR_NOERROR);
}

TEST(CSndWaveInDevice, StartQueuesTenAndEachBlockBackQueuesOneMore) {
    Input in;
    ASSERT_EQ(in.device->Open(), MMSYSERR_NOERROR);
    // The format cannot change while the device is open.
    WAVEFORMATEX other = CSndWaveInDevice::DefaultFormat();
    other.samplesPerSecond = 22050;
    EXPECT_EQ(in.device->SetFormat(other), 1u);
    EXPECT_EQ(in.device->GetFormat().samplesPerSecond, 48000u);

    ASSERT_EQ(in.device->Start(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->GetState(), CSndWaveInDevice::DeviceRunning);
    EXPECT_EQ(in.device->GetHeldCount(), 10u);
    // 4096 bytes at 48000 Hz are about 43 ms: they come back one by one, full and silent.
    ASSERT_TRUE(PumpUntil([&] { return in.recorded.size() >= 7; }));
    for (std::size_t i = 0; i < in.recorded.size(); ++i) {
        EXPECT_EQ(in.recorded[i], 4096u);
        EXPECT_EQ(in.firstBytes[i], 0);
    }
    // Each returned buffer was replaced; none was released, that is the owner's TrimBuffers.
    EXPECT_EQ(in.device->GetHeldCount(), 10u + in.recorded.size());
    const std::size_t held = in.device->GetHeldCount();
    in.device->TrimBuffers();
    EXPECT_EQ(in.device->GetHeldCount(), held - 1);  // one at a time, the oldest
    while (in.device->GetHeldCount() > CSndWaveInDevice::kBufferCount) {
        in.device->TrimBuffers();
    }
    in.device->TrimBuffers();
    EXPECT_EQ(in.device->GetHeldCount(), CSndWaveInDevice::kBufferCount);

    EXPECT_EQ(in.device->Stop(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->GetState(), CSndWaveInDevice::DeviceStopped);
    EXPECT_EQ(in.device->SetFormat(other), 0u);  // allowed again, applies at the next open
    const std::size_t before = in.recorded.size();
    // Closing hands back the ten queued buffers (empty) and handles them before it returns.
    EXPECT_EQ(in.device->Close(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->GetState(), CSndWaveInDevice::DeviceClosed);
    EXPECT_GE(in.recorded.size() - before, 9u);
    EXPECT_EQ(in.recorded.back(), 0u);
    const std::size_t afterClose = in.recorded.size();
    PumpFor(100ms);
    EXPECT_EQ(in.recorded.size(), afterClose);
}

TEST(CSndWaveInDevice, ResetAndStopOnlyActsWhileRunning) {
    Input in;
    EXPECT_EQ(in.device->ResetAndStop(), MMSYSERR_NOERROR);  // closed: nothing to do
    EXPECT_EQ(in.device->GetState(), CSndWaveInDevice::DeviceClosed);
    ASSERT_EQ(in.device->Open(), MMSYSERR_NOERROR);
    ASSERT_EQ(in.device->Start(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->ResetAndStop(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->GetState(), CSndWaveInDevice::DeviceStopped);
    EXPECT_GE(in.recorded.size(), 10u);  // every queued buffer came back at once
    const std::size_t held = in.device->GetHeldCount();
    PumpFor(100ms);
    EXPECT_EQ(in.device->GetHeldCount(), held);  // stopped: nothing new queued
    // Start from stopped runs again.
    ASSERT_EQ(in.device->Start(), MMSYSERR_NOERROR);
    EXPECT_EQ(in.device->GetHeldCount(), held + 10);
    const std::size_t count = in.recorded.size();
    ASSERT_TRUE(PumpUntil([&] { return in.recorded.size() > count; }));
    EXPECT_EQ(in.recorded.back(), 4096u);
}

TEST(CSndWaveBufferRef, CountsReferencesAndUnpreparesAtTheLast) {
    UseVirtualCard();
    MessageSink window;
    HWAVEOUT device = nullptr;
    const WAVEFORMATEX format = CSndWaveOutDevice::DefaultFormat();
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, window.GetHandle()), MMSYSERR_NOERROR);
    const int16_t samples[4] = {1, 2, 3, 4};
    CSndWaveBufferRef first(CSndWaveBuffer::CreateOutput(samples, sizeof samples, true));
    EXPECT_NE(first->GetData(), reinterpret_cast<const char*>(samples));  // copied
    EXPECT_EQ(first->GetHeader()->dwUser, reinterpret_cast<uintptr_t>(first.Get()));
    EXPECT_FALSE(first.Prepare(nullptr));
    EXPECT_TRUE(first.Prepare(device));
    EXPECT_TRUE(LoadFlags(*first->GetHeader()) & WHDR_PREPARED);
    {
        CSndWaveBufferRef second = first;
        EXPECT_EQ(first->GetReferences(), 2u);
    }
    EXPECT_EQ(first->GetReferences(), 1u);
    EXPECT_TRUE(LoadFlags(*first->GetHeader()) & WHDR_PREPARED);  // still held once
    WAVEHDR* header = first->GetHeader();
    // A buffer in the device cannot be unprepared; once back it can.
    ASSERT_EQ(waveOutWrite(device, header, sizeof *header), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutUnprepareHeader(device, header, sizeof *header), WAVERR_STILLPLAYING);
    ASSERT_TRUE(PumpUntil([&] { return window.messages.size() == 1; }));
    EXPECT_EQ(window.messages[0].message, MM_WOM_DONE);
    EXPECT_EQ(window.messages[0].lParam, reinterpret_cast<LPARAM>(header));
    EXPECT_TRUE(LoadFlags(*header) & WHDR_DONE);
    first.Reset();  // unprepares, then frees
    EXPECT_FALSE(first);
    CSndWaveBufferRef input(CSndWaveBuffer::CreateInput(64, true));
    EXPECT_TRUE(
        std::all_of(input->GetData(), input->GetData() + 64, [](char c) { return c == 0; }));
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

}  // namespace
