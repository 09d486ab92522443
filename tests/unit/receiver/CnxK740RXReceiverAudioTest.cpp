#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ReceiverTestSupport.h"
#include "receiver/CnxK740RXReceiver.h"

namespace {

constexpr UINT kSentinel = WM_USER + 4000;

// The audio of these tests is fed by hand; the library's own stream reaches the receiver's
// callback but is not forwarded, because the receiver's audio is not enabled.
class CnxK740RXReceiverAudioTest : public ReceiverTest {
protected:
    void SetUp() override {
        ReceiverTest::SetUp();
        receiver_ = NewReceiver();
        ASSERT_NE(receiver_->OpenByIndex(0), nullptr);
    }
    void TearDown() override {
        receiver_.reset();
        ReceiverTest::TearDown();
    }

    // Everything posted before this call has been delivered when it returns.
    void Settle() {
        const int before = window_->Count(kSentinel);
        PostMessage(window_->GetHandle(), kSentinel, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return window_->Count(kSentinel) > before; }));
    }

    std::vector<const AudioBlock*> Blocks() const {
        std::vector<const AudioBlock*> blocks;
        for (const auto& record : window_->Of(WM_RCV_AUDIO_BLOCK)) {
            blocks.push_back(reinterpret_cast<const AudioBlock*>(record.lParam));
        }
        return blocks;
    }

    static std::vector<int16_t> Ramp(std::size_t count, int start) {
        std::vector<int16_t> samples(count);
        for (std::size_t k = 0; k < count; ++k) {
            samples[k] = static_cast<int16_t>((start + static_cast<int>(k) * 7) % 32768 - 16384);
        }
        return samples;
    }

    void Feed(const std::vector<int16_t>& samples) {
        receiver_->HandleAudioChunk(samples.data(), static_cast<uint32_t>(2 * samples.size()));
    }

    ReceiverPtr receiver_;
};

}  // namespace

TEST_F(CnxK740RXReceiverAudioTest,
       ChunksGatherIntoOneFloatBlockOnceEnoughBytesWaitAlsoFromTheHeap) {
    ASSERT_NE(receiver_->StartStreams(), 0u);
    const std::vector<int16_t> first = Ramp(4064, 0);  // 8128 bytes: one short of a block
    Feed(first);
    Settle();
    EXPECT_EQ(window_->Count(WM_RCV_AUDIO_BLOCK), 0);

    Feed({-32768});
    Settle();
    const auto records = window_->Of(WM_RCV_AUDIO_BLOCK);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].wParam, reinterpret_cast<WPARAM>(receiver_.get()));
    const AudioBlock& block = *reinterpret_cast<const AudioBlock*>(records[0].lParam);
    EXPECT_EQ(block.bytes, 4u * 4065);
    EXPECT_EQ(block.sampleRate, 32000u);
    for (std::size_t k = 0; k < first.size(); ++k) {
        ASSERT_FLOAT_EQ(block.samples[k], static_cast<float>(first[k] / 32768.0)) << k;
    }
    EXPECT_FLOAT_EQ(block.samples[4064], -1.0f);

    // The hidden window takes chunks on the heap the same way.
    window_->Clear();
    constexpr int kSamples = 4100;
    auto* chunk = new char[2 * kSamples];
    const std::vector<int16_t> samples(kSamples, 1000);
    std::memcpy(chunk, samples.data(), 2 * kSamples);
    ASSERT_TRUE(PostMessage(receiver_->GetMessageWindow(), WM_RCV_AUDIO_CHUNK,
                            reinterpret_cast<WPARAM>(chunk), 2 * kSamples));
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_AUDIO_BLOCK) == 1; }));
    const AudioBlock* heap = Blocks().front();
    EXPECT_EQ(heap->bytes, 4u * kSamples);
    EXPECT_FLOAT_EQ(heap->samples[kSamples - 1], 1000 / 32768.0f);
}

TEST_F(CnxK740RXReceiverAudioTest, AChunkThatWouldOverrunTheStagingBufferPushesOutWhatWaits) {
    ASSERT_NE(receiver_->StartStreams(), 0u);
    const std::vector<int16_t> big = Ramp(10000, 3);   // 20000 bytes
    const std::vector<int16_t> next = Ramp(6500, 11);  // 13000 bytes
    Feed(big);
    Feed(next);
    Settle();
    // A full staging buffer, then the 1808 samples left of the first chunk, then the second.
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0]->bytes, 4u * 8192);
    EXPECT_EQ(blocks[1]->bytes, 4u * 1808);
    EXPECT_EQ(blocks[2]->bytes, 4u * 6500);
    EXPECT_FLOAT_EQ(blocks[0]->samples[8191], static_cast<float>(big[8191] / 32768.0));
    EXPECT_FLOAT_EQ(blocks[1]->samples[1807], static_cast<float>(big[9999] / 32768.0));
    EXPECT_FLOAT_EQ(blocks[2]->samples[6499], static_cast<float>(next[6499] / 32768.0));
}

TEST_F(CnxK740RXReceiverAudioTest, NothingIsGatheredWhileNoStreamRunsNorKeptOverAPause) {
    EXPECT_FALSE(receiver_->AreStreamsRunning());
    Feed(Ramp(8192, 0));
    receiver_->StartStreams();
    receiver_->StopStreams();
    Feed(Ramp(8192, 0));
    Settle();
    EXPECT_EQ(window_->Count(WM_RCV_AUDIO_BLOCK), 0);

    // A receiver that stops forwarding starts its next block afresh.
    ASSERT_NE(receiver_->StartStreams(), 0u);
    Feed(Ramp(3000, 0));                // staged, not enough for a block
    receiver_->SetAudioEnabled(false);  // another receiver was selected
    receiver_->SetAudioEnabled(true);   // and this one again
    const std::vector<int16_t> fresh(4100, 1234);
    Feed(fresh);
    Settle();
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0]->bytes, 4u * 4100);
    EXPECT_FLOAT_EQ(blocks[0]->samples[0], 1234 / 32768.0f);
}

TEST_F(CnxK740RXReceiverAudioTest, TheSelectedReceiverForwardsTheLibrarysStream) {
    ASSERT_NE(receiver_->StartStreams(), 0u);
    receiver_->SetAudioEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_AUDIO_BLOCK) >= 2; }));
    receiver_->SetAudioEnabled(false);
    receiver_->StopStreams();
    for (const AudioBlock* block : Blocks()) {
        EXPECT_GE(block->bytes, 4u * 4065);
        EXPECT_EQ(block->sampleRate, 32000u);
    }
}

TEST_F(CnxK740RXReceiverAudioTest, BlocksRefilledBeforeTheWindowPlayedThemCountAsOverruns) {
    ASSERT_NE(receiver_->StartStreams(), 0u);
    const uint32_t ring = receiver_->GetAudioBlockCount();
    const std::vector<int16_t> block(4100, 1);
    for (uint32_t n = 0; n < ring; ++n) {
        Feed(block);
    }
    EXPECT_EQ(receiver_->GetAudioOverruns(), 0u);
    Feed(block);  // the ring comes round to a block nobody gave back
    EXPECT_EQ(receiver_->GetAudioOverruns(), 1u);

    for (uint32_t n = 0; n <= ring; ++n) {
        receiver_->AcknowledgeAudioBlock();
    }
    Feed(block);
    EXPECT_EQ(receiver_->GetAudioOverruns(), 1u);
}
