#include "smeter/CnxK740RXDlgCalibration.h"

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QPushButton>
#include <vector>

#include "GuiTestSupport.h"
#include "MessageRecorder.h"
#include "smeter/K740RXSMeterMessages.h"

namespace {

class CnxK740RXDlgCalibrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        dialog_ = std::make_unique<CnxK740RXDlgCalibration>(
            nullptr, main_.GetHandle(), [this](int32_t tenths) { offsets_.push_back(tenths); });
        dialog_->show();
    }

    // Posted messages arrive through the event loop; this lets them.
    void Deliver() { PumpFor(50ms); }

    // Replaces the field's number with the text, key by key.
    void Type(const QString& text) {
        QDoubleSpinBox* field = dialog_->Field();
        field->setFocus();
        field->selectAll();
        for (QChar c : text) {
            SendKey(*field, 0, Qt::NoModifier, QString(c));
        }
    }

    void Key(int key) { SendKey(*dialog_->Field(), key); }
    QPushButton* Button(const QString& text) { return FindButton(*dialog_, text); }

    MessageRecorder main_;          // the main window's side: every message the dialog posts
    std::vector<int32_t> offsets_;  // what the owner of the offset was given, in order
    std::unique_ptr<CnxK740RXDlgCalibration> dialog_;
};

}  // namespace

TEST_F(CnxK740RXDlgCalibrationTest, EachNewValueInRangeGoesToTheOwnerInTenthsTruncatedTowardZero) {
    dialog_->SetValue(-0.35);
    dialog_->SetValue(-0.35);  // unchanged: nothing told
    Type("1.0");
    Deliver();
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-3}));  // not yet committed
    Key(Qt::Key_Return);
    Deliver();
    EXPECT_EQ(dialog_->GetValue(), 1.0);
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-3, 10}));
    EXPECT_TRUE(dialog_->isVisible());

    // Offsets beyond the range are refused as they are typed.
    dialog_->SetValue(1.5);
    Type("60");  // the 0 would make it 60 dB: refused
    EXPECT_EQ(dialog_->Field()->cleanText(), "6");
    Type("-51");
    EXPECT_EQ(dialog_->Field()->cleanText(), "-5");
    Deliver();
    EXPECT_EQ(dialog_->GetValue(), 1.5);
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-3, 10, 15}));
    dialog_->SetValue(CnxK740RXDlgCalibration::kMaximum);
    Key(Qt::Key_Up);
    Deliver();
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-3, 10, 15, 500}));
}

TEST_F(CnxK740RXDlgCalibrationTest, TheUpDownControlStepsInExactTenths) {
    for (int i = 0; i < 8; ++i) {
        Key(Qt::Key_Up);
    }
    Key(Qt::Key_Down);
    Key(Qt::Key_PageUp);
    Deliver();
    EXPECT_EQ(offsets_, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 7, 17}));
    EXPECT_EQ(dialog_->Field()->text(), "1.7 dB");
}

TEST_F(CnxK740RXDlgCalibrationTest, TheOwnersOffsetIsShownWithoutGoingBackAndEveryCloseAsksToGo) {
    // What the owner holds is shown and never sent back: no echo between the two.
    dialog_->ShowOffset(-7);
    EXPECT_EQ(dialog_->Field()->text(), "-0.7 dB");
    Key(Qt::Key_Up);
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-6}));
    dialog_->ShowOffset(25);  // another receiver selected
    Key(Qt::Key_Up);
    EXPECT_EQ(offsets_, (std::vector<int32_t>{-6, 26}));

    offsets_.clear();
    Button("OK")->click();
    Deliver();
    EXPECT_FALSE(dialog_->isVisible());
    ASSERT_EQ(main_.messages.size(), 1u);
    EXPECT_TRUE(offsets_.empty());
    EXPECT_EQ(main_.messages.back().message, WM_CAL_CLOSE);
    EXPECT_EQ(main_.messages.back().wParam, WPARAM(dialog_.get()));

    for (int way = 0; way < 2; ++way) {
        main_.messages.clear();
        dialog_->show();
        if (way == 0) {
            Button("Close")->click();
        } else {
            dialog_->close();
        }
        Deliver();
        EXPECT_FALSE(dialog_->isVisible()) << way;
        ASSERT_EQ(main_.messages.size(), 1u) << way;
        EXPECT_EQ(main_.messages.front().message, WM_CAL_CLOSE) << way;
    }
}
