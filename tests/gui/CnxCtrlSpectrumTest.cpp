// The spectrum control and its panel over the real analyzer stand-in: the format, the clamps,
// the user's drags coming back as events, repaints for new audio, and life without the library.
#include "spectrum/CnxCtrlSpectrum.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <cmath>
#include <numbers>
#include <vector>

#include "GuiTestSupport.h"
#include "settings/CnxAppOptions.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"
#include "ui/TmyColorScheme.h"

namespace {

void Drag(QWidget& widget, int fromX, int toX, int y = 60) {
    SendDrag(widget, QPointF(fromX, y), QPointF(toX, y));
}

// Records what an event list raises.
struct Recorder {
    std::vector<int> values;
    void Record(void*, int value) { values.push_back(value); }
};

std::vector<float> Tone(double hz, int n, int rate) {
    std::vector<float> block(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        block[i] = float(0.5 * std::sin(2 * std::numbers::pi * hz * i / rate));
    }
    return block;
}

// A control of 512 x 160: a picture 512 columns wide, 31.25 Hz each at 32000 samples/s.
class CnxCtrlSpectrumTest : public ::testing::Test {
protected:
    CnxCtrlSpectrumTest() : control_((EnsureQtApp(), nullptr)) {}
    void SetUp() override {
        ASSERT_TRUE(control_.IsLoaded());
        ASSERT_NE(control_.GetAnalyzer(), nullptr);
        control_.resize(512, 160);
        control_.show();
        ASSERT_TRUE(PumpUntil([&] { return control_.isVisible(); }));
        control_.SetFormat(32000);
    }
    CnxCtrlSpectrum control_;
};

}  // namespace

// The IF bandwidth is kept within bounds whatever the format.
TEST_F(CnxCtrlSpectrumTest, FormatSetsTheLargestIFBandwidthAndTellsTheRangeListeners) {
    Recorder range;
    auto listening1 = control_.IFShihtRangeChange.Subscribe(&range, &Recorder::Record);
    control_.SetFormat(64000);
    control_.SetFormat(48000);
    control_.SetFormat(44100);
    control_.SetFormat(8000);
    EXPECT_EQ(range.values, (std::vector<int>{16000, 12000, 12000, 2000}));

    control_.SetIFBandwidth(50);
    EXPECT_EQ(control_.GetIFBandwidth(), 100);
    control_.SetIFBandwidth(30000);
    EXPECT_EQ(control_.GetIFBandwidth(), 24000);
    control_.SetIFBandwidth(5000);
    EXPECT_EQ(control_.GetIFBandwidth(), 5000);
}

TEST_F(CnxCtrlSpectrumTest, DraggingTheFilterRaisesPositionAndBandwidthEvents) {
    Recorder position;
    Recorder bandwidth;
    auto listening2 = control_.FilterFrequencyChange.Subscribe(&position, &Recorder::Record);
    auto listening3 = control_.FilterBandwidthChange.Subscribe(&bandwidth, &Recorder::Record);
    control_.SetFilterPos(4000);  // columns 96 .. 160
    control_.SetFilterBandwidth(2000);
    EXPECT_TRUE(position.values.empty());  // the program's own settings raise nothing

    Drag(control_, 128, 192);
    EXPECT_EQ(position.values, std::vector<int>{6000});

    // The upper edge from 7000 to 8000 Hz; the lower edge stays.
    Drag(control_, 224, 256);
    EXPECT_EQ(bandwidth.values, std::vector<int>{3000});
    EXPECT_EQ(position.values, (std::vector<int>{6000, 6500}));
    EXPECT_EQ(control_.GetFilterBandwidth(), 3000);

    // A click that moves nothing reports nothing.
    Drag(control_, 200, 200);
    EXPECT_EQ(position.values.size(), 2u);
    EXPECT_EQ(bandwidth.values.size(), 1u);
}

TEST_F(CnxCtrlSpectrumTest, DraggingTheIFHandleAndBracketRaisesShiftAndRangeEvents) {
    Recorder mode;
    Recorder shift;
    Recorder range;
    auto listening4 = control_.IFShiftModeChange.Subscribe(&mode, &Recorder::Record);
    auto listening5 = control_.IFShihtPositionChange.Subscribe(&shift, &Recorder::Record);
    auto listening6 = control_.IFShihtRangeChange.Subscribe(&range, &Recorder::Record);
    control_.SetIFShiftMode(1);
    control_.SetIFShiftMode(1);
    EXPECT_EQ(mode.values, std::vector<int>{1});
    // At 32000 samples/s the IF band is centred at 4000 Hz (column 128) with no shift.
    control_.SetIFBandwidth(4000);

    Drag(control_, 128, 160);
    EXPECT_EQ(shift.values, std::vector<int>{1000});
    // The bracket's upper end, at the top, from 7000 to 8000 Hz around the centre of 5000 Hz.
    Drag(control_, 224, 256, 4);
    EXPECT_EQ(range.values, std::vector<int>{6000});
    EXPECT_EQ(control_.GetIFBandwidth(), 6000);
}

TEST_F(CnxCtrlSpectrumTest, NewAudioIsDrawnWithoutBeingAsked) {
    const QColor trace = TmyColorScheme::Default().level;
    const std::vector<float> block = Tone(4000, 1024, 32000);
    // Column 128 is 4000 Hz; the trace reaches near its top only with the tone in the picture.
    auto toneShown = [&] {
        const QImage& picture = control_.Picture();
        if (picture.width() != 512) {
            return false;
        }
        for (int y = 0; y < 30; ++y) {
            if (QColor(picture.pixel(128, y)) == trace) {
                return true;
            }
        }
        return false;
    };
    PumpFor(100ms);
    EXPECT_FALSE(toneShown());
    EXPECT_TRUE(PumpUntil([&] {
        control_.Show(block.data(), int(block.size()), 0, 0, 0);
        return toneShown();
    }));
}

TEST(CnxCtrlSpectrumWithoutLibrary, MissingOrSwitchedOffLibraryLeavesAnEmptyControl) {
    EnsureQtApp();
    for (bool switchedOff : {false, true}) {
        g_optNSpectrum.present = switchedOff;
        CnxCtrlSpectrum control(
            nullptr, switchedOff ? CnxCtrlSpectrum::kLibraryFileName : "NoSuchLibrary.dll");
        EXPECT_EQ(control.GetAnalyzer(), nullptr);
        Recorder range;
        auto listening7 = control.IFShihtRangeChange.Subscribe(&range, &Recorder::Record);
        control.SetFormat(64000);
        EXPECT_TRUE(range.values.empty());
        EXPECT_EQ(control.GetMaxIFBandwidth(), 12000);
        const std::vector<float> block = Tone(1000, 1024, 64000);
        control.Show(block.data(), 1024, 0, 0, 1);
        control.resize(300, 100);
        control.show();
        Drag(control, 10, 100);
        const QImage shot = control.grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(150, 40)), TmyColorScheme::Default().plot);
    }
    ResetAppOptions();
}

TEST(CnxCtrlSpectrumPanelTest, ReadOutsFollowTheDragsAndThePanelPassesThemOn) {
    EnsureQtApp();
    CnxCtrlSpectrumPanel panel;
    panel.SetFormat(32000);
    panel.SetFrequency(154000000);
    EXPECT_EQ(panel.TitleText(), QStringLiteral("AUDIO SPECTRUM  154.000 MHz"));

    Recorder position;
    Recorder shift;
    auto listening8 = panel.FilterFrequencyChange.Subscribe(&position, &Recorder::Record);
    auto listening9 = panel.IFShihtPositionChange.Subscribe(&shift, &Recorder::Record);
    panel.resize(600, 200);
    panel.show();
    CnxCtrlSpectrum& spectrum = panel.Spectrum();
    ASSERT_TRUE(PumpUntil([&] { return spectrum.isVisible() && spectrum.width() > 300; }));
    // The picture spans 0 .. 16000 Hz over the control's width.
    const auto x = [&](int hz) { return int(std::lround(hz * spectrum.width() / 16000.0)); };

    // The filter band is 300 .. 2700 Hz; its middle moves by 1000 Hz.
    Drag(spectrum, x(1500), x(2500));
    ASSERT_FALSE(position.values.empty());
    EXPECT_NEAR(position.values.back(), 2500, 40);
    EXPECT_EQ(panel.FilterText(),
              QString::asprintf("Filter %.2f kHz / 2.40 kHz", position.values.back() / 1000.0));
    // The IF handle sits at 4000 Hz.
    Drag(spectrum, x(4000), x(3000));
    ASSERT_FALSE(shift.values.empty());
    EXPECT_NEAR(shift.values.back(), -1000, 40);
    EXPECT_EQ(panel.IFText(),
              QString::asprintf("IF %.2f kHz / 8.00 kHz", shift.values.back() / 1000.0));
}

TEST(CnxCtrlSpectrumPanelTest, TheAxisIsLabelledByTheRateOfTheBlocksShownAndNoLabelOverprints) {
    EnsureQtApp();
    CnxCtrlSpectrumPanel panel;
    panel.SetFormat(64000);  // the controller's own output format
    panel.resize(1000, 200);
    panel.show();
    CnxCtrlSpectrum& spectrum = panel.Spectrum();
    ASSERT_TRUE(PumpUntil([&] { return spectrum.isVisible() && spectrum.width() > 900; }));
    const QFontMetrics metrics(TmyColorScheme::Default().uiFont());
    // Where the axis puts the label of a whole number of kHz, as a share of the picture's width.
    const auto shareOf = [&](const QString& khz) {
        for (const auto& label : spectrum.LayOutAxis(metrics).labels) {
            if (label.text == khz) {
                return label.box.center().x() / double(spectrum.width());
            }
        }
        return -1.0;
    };
    ASSERT_NEAR(shareOf("10"), 10.0 / 32, 0.01);

    // The demo's blocks come at 48000 samples/s and are shown as they are: 0 .. 24 kHz.
    const std::vector<float> demo = Tone(1000, 2048, 48000);
    panel.Show(demo.data(), int(demo.size()), 48000, false);
    EXPECT_EQ(spectrum.GetSampleRate(), 48000);
    EXPECT_NEAR(shareOf("10"), 10.0 / 24, 0.01);
    EXPECT_EQ(panel.IFText(), QStringLiteral("IF 0.00 kHz / 12.00 kHz"));
    // A receiver's blocks at 64000 again.
    const std::vector<float> received = Tone(1000, 2048, 64000);
    panel.Show(received.data(), int(received.size()), 64000, false);
    EXPECT_NEAR(shareOf("10"), 10.0 / 32, 0.01);

    // At any width the labels and the unit stand clear of each other.
    for (int width : {300, 512, 640, 800, 1000, 1280, 1600, 1920, 2560}) {
        for (int rate : {48000, 64000}) {
            panel.SetFormat(rate);
            spectrum.resize(width, 120);
            const auto layout = spectrum.LayOutAxis(metrics);
            ASSERT_GE(layout.labels.size(), 3u) << width;
            EXPECT_EQ(layout.labels.back().text, "kHz");
            for (std::size_t i = 0; i < layout.labels.size(); ++i) {
                EXPECT_TRUE(spectrum.rect().contains(layout.labels[i].box)) << width;
                for (std::size_t j = i + 1; j < layout.labels.size(); ++j) {
                    EXPECT_FALSE(layout.labels[i].box.intersects(layout.labels[j].box))
                        << "width " << width << ", rate " << rate << ": "
                        << layout.labels[i].text.toStdString() << " and "
                        << layout.labels[j].text.toStdString();
                }
            }
        }
    }
}
