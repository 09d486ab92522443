#include "smeter/CnxCtrlSMeter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <limits>
#include <vector>

#include "GuiTestSupport.h"
#include "smeter/CnxSMeterDebug.h"
#include "smeter/CnxSMeterLevelRules.h"
#include "ui/TmyColorScheme.h"

namespace {

class CnxCtrlSMeterTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel_.resize(280, 150);
        panel_.show();
    }

    // Lets the meter glide until its bar and number rest on the level (the peak mark may linger).
    bool Settled() {
        return PumpUntil([this] {
            const CnxSMeterBallistics& b = panel_.Meter()->Ballistics();
            return b.Needle() == b.GetTarget() && b.Readout() == b.GetTarget();
        });
    }

    void PressOnMeter(double dbm) {
        CnxSMeterDebug* meter = panel_.Meter();
        const QRectF bar = meter->BarArea();
        SendMouse(
            *meter, QEvent::MouseButtonPress,
            QPointF(bar.left() + CnxSMeterScale::Position(dbm) * bar.width(), bar.center().y()));
    }

    static void Key(QWidget* target, int key) { SendKey(*target, key); }

    // The colour in the middle of the bar's first segment.
    QColor BarColour() {
        const QImage image = panel_.Meter()->grab().toImage();
        const QRectF bar = panel_.Meter()->BarArea();
        const qreal ratio = image.devicePixelRatio();
        return image.pixelColor(
            QPoint(int((bar.left() + 2) * ratio), int(bar.center().y() * ratio)));
    }

    QApplication& app_ = EnsureQtApp();  // before any widget
    CnxCtrlSMeter panel_;
};

}  // namespace

TEST_F(CnxCtrlSMeterTest, TheMeterGlidesToEachLevelWithinItsScaleInTheColourOfTheSquelch) {
    // A demo receiver at 142.75 MHz with a +2.5 dB offset.
    panel_.SetLevel(CnxSMeterLevelRules::ShownLevel(-101.0, 25, true, 142750000, false));
    EXPECT_DOUBLE_EQ(panel_.GetLevel(), -57.5);
    EXPECT_TRUE(panel_.Meter()->Ballistics().IsMoving());
    EXPECT_LT(panel_.Meter()->Ballistics().Needle(), -57.5);
    ASSERT_TRUE(Settled());
    EXPECT_DOUBLE_EQ(panel_.Meter()->Ballistics().Readout(), -57.5);

    panel_.Meter()->SetSmoothing({1.0, 1.0, 1.0, 1.0});

    // The bar takes the present colour with a signal and another when squelched.
    panel_.SetSquelchThreshold(-100.0);
    panel_.SetLevel(-90.0);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(BarColour(), TmyColorScheme::Default().level);
    panel_.SetLevel(-110.0);
    ASSERT_TRUE(Settled());
    EXPECT_NE(BarColour(), TmyColorScheme::Default().level);
    EXPECT_TRUE(panel_.Model().IsSquelched());
}

TEST_F(CnxCtrlSMeterTest, AReceiverThatCannotBeReadShowsNoReadingDimmedWithoutANumber) {
    panel_.SetSquelchThreshold(-100.0);
    panel_.SetLevel(-80.0);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(panel_.Meter()->ReadoutText(), "-80.0");

    panel_.SetLevel(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(panel_.Meter()->ReadoutText(), "no reading");
    PumpFor(100ms);
    EXPECT_EQ(BarColour(), TmyColorScheme::Default().plot);  // an empty bar, no level on it

    // A calibration change while there is no reading keeps it so.
    const auto reading = CnxSMeterLevelRules::ReadingToReshow(0, 25, false, panel_.GetLevel());
    ASSERT_TRUE(reading.has_value());
    panel_.SetLevel(*reading + 2.5);
    EXPECT_EQ(panel_.Meter()->ReadoutText(), "no reading");

    panel_.SetLevel(-70.0);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(panel_.Meter()->ReadoutText(), "-70.0");
    EXPECT_EQ(BarColour(), TmyColorScheme::Default().level);
}

TEST_F(CnxCtrlSMeterTest, StatusTextsShowTheStateAndClicksStepIt) {
    std::vector<int32_t> atten, agc, avc;
    auto a = panel_.OnAttenuatorClicked.Subscribe([&](void* sender, int32_t v) {
        EXPECT_EQ(sender, &panel_);
        atten.push_back(v);
    });
    auto b = panel_.OnAGCClicked.Subscribe([&](void*, int32_t v) { agc.push_back(v); });
    auto c = panel_.OnAVCClicked.Subscribe([&](void*, int32_t v) { avc.push_back(v); });

    EXPECT_EQ(panel_.AttenuatorButton()->text(), "ATTEN OFF");
    panel_.SetAttenuator(true);
    EXPECT_EQ(panel_.AttenuatorButton()->text(), "ATTEN ON");
    EXPECT_TRUE(
        panel_.AttenuatorButton()->styleSheet().contains(TmyColorScheme::Default().alarm.name()));
    panel_.AttenuatorButton()->click();
    EXPECT_EQ(panel_.AttenuatorButton()->text(), "ATTEN OFF");
    EXPECT_TRUE(
        panel_.AttenuatorButton()->styleSheet().contains(TmyColorScheme::Default().level.name()));

    panel_.SetAGCMode(4);
    panel_.AGCButton()->click();
    EXPECT_EQ(panel_.AGCButton()->text(), "AGC OFF");
    panel_.AVCButton()->setFocus();
    Key(panel_.AVCButton(), Qt::Key_Space);
    EXPECT_EQ(panel_.AVCButton()->text(), "AVC OFF");
    panel_.SetAVCMode(2);
    EXPECT_EQ(panel_.AVCButton()->text(), "AVC SLOW");

    EXPECT_EQ(atten, (std::vector<int32_t>{0}));
    EXPECT_EQ(agc, (std::vector<int32_t>{0}));
    EXPECT_EQ(avc, (std::vector<int32_t>{1}));
}

TEST_F(CnxCtrlSMeterTest, TheSquelchThresholdIsSetOnTheMeterOrInItsField) {
    std::vector<int32_t> squelch;
    auto listening =
        panel_.OnSquelchChanged.Subscribe([&](void*, int32_t v) { squelch.push_back(v); });

    PressOnMeter(-80.0);
    EXPECT_EQ(panel_.Model().GetSquelchThreshold(), -80.0);
    EXPECT_EQ(panel_.SquelchField()->value(), -80);
    Key(panel_.Meter(), Qt::Key_Up);
    EXPECT_EQ(panel_.Model().GetSquelchThreshold(), -79.0);
    Key(panel_.Meter(), Qt::Key_PageDown);
    EXPECT_EQ(panel_.SquelchField()->value(), -85);
    panel_.SquelchField()->setValue(-60);
    EXPECT_EQ(panel_.Model().GetSquelchThreshold(), -60.0);

    panel_.SetLevel(-61.0);
    panel_.SetLevel(-60.0);
    EXPECT_EQ(squelch, (std::vector<int32_t>{1, 0}));
    panel_.DefeatButton()->click();
    EXPECT_TRUE(panel_.Model().GetSquelchDefeat());
    panel_.SetLevel(-100.0);
    EXPECT_FALSE(panel_.Model().IsSquelched());

    // Hidden, the controls and the meter leave the threshold alone.
    panel_.ShowSquelchControls(false);
    EXPECT_FALSE(panel_.SquelchField()->isVisible());
    EXPECT_FALSE(panel_.DefeatButton()->isVisible());
    PressOnMeter(-100.0);
    Key(panel_.Meter(), Qt::Key_Up);
    EXPECT_EQ(panel_.Model().GetSquelchThreshold(), -60.0);
}
