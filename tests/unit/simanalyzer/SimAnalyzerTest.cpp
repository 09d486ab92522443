// The analyzer stand-in through the program's own binding: what it draws for the samples it is
// given, how the user's drags come back as notifications, and calls from several threads at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <iterator>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "spectrum/CnxCtrlSpectrumDll.h"

namespace {

constexpr int kWidth = 512;  // 31.25 Hz per column at 32000 samples/s
constexpr int kHeight = 120;
constexpr std::uint32_t kBackground = 0x000010;
constexpr std::uint32_t kTrace = 0x00ff00;
constexpr std::uint32_t kPeak = 0xff0000;
constexpr std::uint32_t kHelper = 0xffffff;

std::vector<float> Tone(double hz, double amplitude, int n, int rate = 32000) {
    std::vector<float> block(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        block[i] = float(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
    }
    return block;
}

class SimAnalyzerTest : public ::testing::Test {
protected:
    SimAnalyzerTest() : lib_((EnsureCoreApp(), "aspect_vcl.dll")) {}

    void SetUp() override {
        ASSERT_TRUE(lib_.IsLoaded());
        h_ = lib_.CreateAnalyzer(std::uintptr_t{0}, 0, 0, kWidth, kHeight, 0x56010000u, 0);
        ASSERT_NE(h_, nullptr);
        // Background, grid, trace, its fill, peak, pass band, its edges, IF band, reading helper.
        const AspectVisColors colors{kBackground, kBackground, kTrace,  0x003000, kPeak, 0xffffff,
                                     0x0000ff,    0xffff00,    kHelper, 0,        {}};
        lib_.SetVisColor(h_, colors);
        lib_.SetSampleRate(h_, 32000);
        lib_.SetNotifyCallback(h_, &SimAnalyzerTest::Record, this);
    }
    void TearDown() override { lib_.DestroyAnalyzer(h_); }

    // Called on the thread of whichever call caused the notification.
    static void Record(std::int32_t code, std::int32_t value, void* context) {
        auto* self = static_cast<SimAnalyzerTest*>(context);
        std::lock_guard guard(self->notesLock_);
        self->notes_.emplace_back(code, value);
    }

    std::vector<std::uint32_t> Render() {
        std::vector<std::uint32_t> pixels(kWidth * kHeight);
        EXPECT_EQ(lib_.RenderView(h_, pixels.data(), kWidth, kHeight, kWidth * 4), 1);
        return pixels;
    }
    static std::uint32_t At(const std::vector<std::uint32_t>& p, int x, int y) {
        return p[std::size_t(y) * kWidth + std::size_t(x)] & 0xffffffu;
    }
    // The lowest and highest frequency shown.
    std::pair<int, int> Range() {
        std::int32_t low = -1;
        std::int32_t high = -1;
        EXPECT_EQ(lib_.GetVisFrequencyRange(h_, &low, &high), 1);
        return {low, high};
    }
    // The topmost row of the trace's line in a column; kHeight when there is none.
    static int TraceRow(const std::vector<std::uint32_t>& p, int x) {
        for (int y = 0; y < kHeight; ++y) {
            if (At(p, x, y) == kTrace) {
                return y;
            }
        }
        return kHeight;
    }
    void Feed(const std::vector<float>& samples, int flag = 0) {
        ASSERT_EQ(lib_.Display(h_, samples.data(), int(samples.size()), 0, 0, flag), 1);
    }
    // A drag from one column to another, half-way down the picture unless told.
    void Drag(int from, int to, int y = kHeight / 2) {
        lib_.MouseDown(h_, from, y);
        lib_.MouseMove(h_, (from + to) / 2, y);
        lib_.MouseUp(h_, to, y);
    }
    // The last note a fresh drag gave, redraws aside; {0, 0} for none.
    std::pair<int, int> LastNoteOfDrag(int from, int to, int y = kHeight / 2) {
        notes_.clear();
        Drag(from, to, y);
        const std::vector<std::pair<int, int>> notes = NotesWithoutRedraw();
        return notes.empty() ? std::pair{0, 0} : notes.back();
    }
    std::vector<std::pair<int, int>> NotesWithoutRedraw() {
        std::lock_guard guard(notesLock_);
        std::vector<std::pair<int, int>> out;
        std::ranges::copy_if(notes_, std::back_inserter(out),
                             [](const auto& note) { return note.first != kAspectRedraw; });
        return out;
    }

    CnxCtrlSpectrumDll lib_;
    AspectHandle h_ = nullptr;
    std::mutex notesLock_;
    std::vector<std::pair<int, int>> notes_;
};

}  // namespace

TEST_F(SimAnalyzerTest, ToneShowsAsAPeakAtItsFrequency) {
    Feed(Tone(4000, 0.5, 8192));
    const std::vector<std::uint32_t> p = Render();
    // 0.5 of full scale is -6 dB: 6/120 of the way down.
    EXPECT_NEAR(TraceRow(p, 128), 6, 2);
    EXPECT_GT(TraceRow(p, 400), 110);
    // Just the background (and the fill) above the trace.
    EXPECT_EQ(At(p, 400, 10), kBackground);
}

TEST_F(SimAnalyzerTest, RangeAndZoomChooseTheFrequenciesShown) {
    lib_.SetVisRange(h_, 8000);
    EXPECT_EQ(Range(), std::make_pair(0, 8000));
    lib_.Zoom(h_, 4.0f, 4000);
    EXPECT_EQ(Range(), std::make_pair(3000, 5000));
    lib_.Zoom(h_, 4.0f, 0);  // kept inside the range
    EXPECT_EQ(Range(), std::make_pair(0, 2000));
    lib_.Zoom(h_, 0.1f, 0);  // no zooming out beyond the range
    lib_.SetVisRange(h_, 50000);
    EXPECT_EQ(Range(), std::make_pair(0, 16000));

    // The zoomed picture puts the tone where the range says.
    lib_.Zoom(h_, 4.0f, 4000);  // 2000 .. 6000 Hz over 512 columns
    Feed(Tone(5000, 0.5, 8192));
    const std::vector<std::uint32_t> p = Render();
    EXPECT_LT(TraceRow(p, 384), 10);
    EXPECT_GT(TraceRow(p, 128), 100);
}

TEST_F(SimAnalyzerTest, PeakHoldKeepsTheLoudestUntilAFrequencyChange) {
    lib_.SetVisDrawPeak(h_, 1);
    Feed(Tone(4000, 0.5, 8192));
    Feed(std::vector<float>(32768, 0.0f));
    std::vector<std::uint32_t> p = Render();
    EXPECT_GT(TraceRow(p, 128), 100);  // the average has fallen away
    EXPECT_EQ(At(p, 128, 6), kPeak);   // the peak stays

    Feed(std::vector<float>(4096, 0.0f), 1);
    p = Render();
    for (int y = 0; y < 60; ++y) {
        EXPECT_NE(At(p, 128, y), kPeak) << y;
    }
}

TEST_F(SimAnalyzerTest, FilterBandAndIFBandAreDrawnWhenEnabled) {
    lib_.SetFilterPos(h_, 8000);  // columns 224 .. 288
    lib_.SetFilterBandwidth(h_, 2000);
    std::vector<std::uint32_t> p = Render();
    EXPECT_NE(At(p, 256, 60), kBackground);
    EXPECT_EQ(At(p, 224, 60), 0x0000ffu);
    EXPECT_EQ(At(p, 100, 60), kBackground);

    lib_.SetVisFilterEnable(h_, 0);
    EXPECT_EQ(At(Render(), 256, 60), kBackground);

    lib_.SetIFBandwidth(h_, 4000);
    EXPECT_EQ(At(Render(), 64, 60), kBackground);  // no IF band until a mode is set
    lib_.SetIFShiftMode(h_, 1);
    lib_.SetVisZeroOffset(h_, 4000);  // centre 2000 Hz: column 64
    EXPECT_EQ(At(Render(), 64, 60), 0xffff00u);

    // Switched off, the view shows only its background and ignores blocks.
    lib_.SetVisEnable(h_, 0);
    Feed(Tone(4000, 0.5, 8192));
    p = Render();
    EXPECT_EQ(At(p, 64, 60), kBackground);
    EXPECT_EQ(TraceRow(p, 128), kHeight);
    lib_.SetVisEnable(h_, 1);
    EXPECT_EQ(TraceRow(Render(), 128), kHeight);
}

TEST_F(SimAnalyzerTest, DraggingTheFilterReportsItsNewPositionAndWidth) {
    lib_.SetFilterPos(h_, 4000);  // edges at columns 96 and 160
    lib_.SetFilterBandwidth(h_, 2000);
    EXPECT_EQ(lib_.HitTest(h_, 128, 60), kAspectFilterPos);
    EXPECT_EQ(lib_.HitTest(h_, 160, 60), kAspectFilterBandwidth);
    EXPECT_EQ(lib_.HitTest(h_, 300, 60), 0);

    Drag(128, 192);  // +2000 Hz
    EXPECT_EQ(NotesWithoutRedraw(), (std::vector<std::pair<int, int>>{{3, 5000}, {3, 6000}}));
    EXPECT_EQ(notes_.back().first, kAspectRedraw);

    notes_.clear();
    Drag(224, 256);  // the upper edge from 7000 to 8000 Hz; the lower stays at 5000
    EXPECT_EQ(NotesWithoutRedraw(),
              (std::vector<std::pair<int, int>>{{4, 2500}, {3, 6250}, {4, 3000}, {3, 6500}}));

    EXPECT_EQ(LastNoteOfDrag(161, 0), std::make_pair(3, 4000));  // the lower edge down to 0 Hz

    // The band cannot be pushed past Nyquist, and a drag on empty space reports nothing.
    EXPECT_EQ(LastNoteOfDrag(128, 600), std::make_pair(3, 12000));
    notes_.clear();
    Drag(100, 20);  // 8000 .. 16000 Hz is the band now
    EXPECT_TRUE(notes_.empty());
}

TEST_F(SimAnalyzerTest, DraggingTheIFHandleAndBracketReportsShiftAndBandwidth) {
    lib_.SetIFShiftMode(h_, 1);
    lib_.SetIFBandwidth(h_, 4000);
    lib_.SetVisZeroOffset(h_, 8000);  // centre 4000 Hz (column 128), band 2000 .. 6000 Hz
    EXPECT_EQ(lib_.HitTest(h_, 128, 60), kAspectIFShift);
    EXPECT_EQ(lib_.HitTest(h_, 192, 4), kAspectIFBandwidth);
    EXPECT_EQ(lib_.HitTest(h_, 192, 60), 0);  // the bracket's ends are only at the top

    EXPECT_EQ(LastNoteOfDrag(128, 160), std::make_pair(1, 1000));
    // The bracket's upper end from 7000 to 8000 Hz around 5000.
    EXPECT_EQ(LastNoteOfDrag(224, 256, 4), std::make_pair(2, 6000));

    // The limits the program sets hold during drags.
    lib_.SetMaxIFShift(h_, 1500);
    lib_.SetMaxIFBandwidth(h_, 7000);
    EXPECT_EQ(LastNoteOfDrag(160, 500), std::make_pair(1, 1500));
    EXPECT_EQ(LastNoteOfDrag(int(5500 / 31.25) + 96, 511, 4), std::make_pair(2, 7000));
    // Onto the centre: the narrowest.
    EXPECT_EQ(LastNoteOfDrag(int(5500 / 31.25) + 112, int(5500 / 31.25), 4),
              std::make_pair(2, 100));
}

TEST_F(SimAnalyzerTest, ReadingHelperFollowsTheMouse) {
    lib_.SetVisReadingHelperEnable(h_, 1);
    lib_.MouseMove(h_, 300, 50);
    ASSERT_FALSE(notes_.empty());
    EXPECT_EQ(notes_.back().first, kAspectRedraw);
    EXPECT_EQ(At(Render(), 300, 30), kHelper);
    lib_.MouseMove(h_, -1, -1);
    EXPECT_NE(At(Render(), 300, 30), kHelper);
}

TEST_F(SimAnalyzerTest, NewSpectraAskForARepaintAtMostThirtyTimesASecond) {
    const std::vector<float> block = Tone(1000, 0.3, 1024);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 400; ++i) {
        Feed(block);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    ASSERT_FALSE(notes_.empty());
    EXPECT_LE(notes_.size(), std::size_t(elapsed.count() / 33 + 1));
    for (const auto& note : notes_) {
        EXPECT_EQ(note, std::make_pair(int(kAspectRedraw), 0));
    }
}

TEST_F(SimAnalyzerTest, SizesAndOffsetsTakeTheLibrarysLimits) {
    EXPECT_EQ(lib_.SetFFTSize(h_, 100), 256);
    EXPECT_EQ(lib_.SetFFTSize(h_, 100000), 32768);
    EXPECT_EQ(lib_.SetFFTSize(h_, 2048), 2048);
    EXPECT_EQ(lib_.FFTSuggest(h_, 10), 4096);  // 7.8 Hz bins at 32000 samples/s
    EXPECT_EQ(lib_.FFTSuggest(h_, 0), 2048);
    EXPECT_EQ(lib_.SetVisZeroOffset(h_, 50), 100);
    EXPECT_EQ(lib_.SetVisZeroOffset(h_, 20000), 16000);
    lib_.SetSampleRate(h_, 64000);
    EXPECT_EQ(lib_.SetVisZeroOffset(h_, 20000), 20000);
}

TEST_F(SimAnalyzerTest, BadCallsAreRefused) {
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    EXPECT_EQ(lib_.RenderView(h_, pixels.data(), kWidth - 1, kHeight, kWidth * 4), 0);
    EXPECT_EQ(lib_.Display(h_, nullptr, 10, 0, 0, 0), 0);
    // After a resize only the new size renders.
    lib_.SetViewSize(h_, 100, 50);
    std::vector<std::uint32_t> small(100 * 50);
    EXPECT_EQ(lib_.RenderView(h_, small.data(), 100, 50, 400), 1);
    EXPECT_EQ(lib_.RenderView(h_, pixels.data(), kWidth, kHeight, kWidth * 4), 0);

    const AspectHandle gone = lib_.CreateAnalyzer(std::uintptr_t{0}, 0, 0, 10, 10, 0u, 0);
    ASSERT_EQ(lib_.DestroyAnalyzer(gone), 1);
    EXPECT_EQ(lib_.SetFilterPos(gone, 100), 0);
    EXPECT_EQ(lib_.RenderView(gone, small.data(), 10, 10, 40), 0);
}

TEST_F(SimAnalyzerTest, CallsFromSeveralThreadsAtOnce) {
    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    // A drawing thread renders and feeds, the window thread drags and changes settings, a third
    // thread makes and destroys analyzers.
    std::thread renderer([&] {
        const std::vector<float> block = Tone(3000, 0.4, 1024);
        std::vector<std::uint32_t> pixels(kWidth * kHeight);
        while (!stop) {
            lib_.Display(h_, block.data(), 1024, 0, 0, 0);
            rendered += lib_.RenderView(h_, pixels.data(), kWidth, kHeight, kWidth * 4);
        }
    });
    std::thread churn([&] {
        const std::vector<float> block = Tone(500, 0.4, 512);
        while (!stop) {
            const AspectHandle other = lib_.CreateAnalyzer(std::uintptr_t{0}, 0, 0, 64, 32, 0u, 0);
            lib_.Display(other, block.data(), 512, 0, 0, 1);
            lib_.DestroyAnalyzer(other);
        }
    });
    for (int i = 0; i < 300; ++i) {
        lib_.SetFilterPos(h_, 4000);
        lib_.SetFilterBandwidth(h_, 2000);
        lib_.SetFFTSize(h_, (i % 2 == 0) ? 1024 : 4096);
        Drag(128, 140);
        lib_.SetVisDrawPeak(h_, i % 2);
    }
    ASSERT_TRUE(PumpUntil([&] { return rendered > 10; }, 60s));
    stop = true;
    renderer.join();
    churn.join();
    EXPECT_FALSE(NotesWithoutRedraw().empty());
}
