#include "smeter/CnxK740RXDlgCalibration.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>

#include "core/TmyComponent.h"
#include "smeter/CnxSMeterLevelRules.h"
#include "smeter/K740RXSMeterMessages.h"
#include "ui/TmyColorScheme.h"

namespace {

// The numeric field, whose arrows, wheel and Page keys step the dialog's value instead of its
// own, so that steps are exact tenths of a dB from whatever value is set.
class OffsetField : public QDoubleSpinBox {
public:
    OffsetField(QWidget* parent, std::function<void(int)> onStep)
        : QDoubleSpinBox(parent), onStep_(std::move(onStep)) {}
    void stepBy(int steps) override { onStep_(steps); }

private:
    std::function<void(int)> onStep_;
};

}  // namespace

CnxK740RXDlgCalibration::CnxK740RXDlgCalibration(QWidget* owner, HWND mainWindow, Setter setOffset)
    : QDialog(owner), mainWindow_(mainWindow), setOffset_(std::move(setOffset)) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    setWindowTitle(QStringLiteral(" K740RX Calibration"));

    auto* caption = new QLabel(QStringLiteral("Calibration          "), this);
    auto* subject = new QLabel(QStringLiteral("     S-Meter"), this);
    subject->setProperty("secondary", true);

    field_ = new OffsetField(this, [this](int steps) { Step(steps); });
    field_->setDecimals(1);
    field_->setRange(kMinimum, kMaximum);
    field_->setSingleStep(0.1);
    field_->setSuffix(QStringLiteral(" dB"));
    field_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field_->setFont(s.displayFont(18));
    field_->setKeyboardTracking(false);
    field_->setAccelerated(true);
    field_->setToolTip(
        QStringLiteral("Added to the S-meter and scan levels of the selected "
                       "receiver. Up/Down: 0.1 dB, Page Up/Down: 1 dB"));
    connect(field_, &QDoubleSpinBox::valueChanged, this, [this](double typed) { SetValue(typed); });

    // Neither button is a default one: Enter in the field commits the typed value and leaves the
    // window open.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setToolTip(QStringLiteral("Keep this offset and close the window"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setToolTip(QStringLiteral("Close the window; the offset stays as set (Esc)"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {ok, close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(10);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(subject, 0, 1, Qt::AlignRight);
    layout->addWidget(field_, 1, 0, 1, 2);
    layout->addLayout(buttons, 2, 0, 1, 2);
    setModal(false);
    ShowValue();
    adjustSize();
    setFixedSize(size());
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

void CnxK740RXDlgCalibration::ShowOffset(int32_t tenths) {
    value_ = tenths / 10.0;
    ShowValue();
}

void CnxK740RXDlgCalibration::SetValue(double decibels) {
    if (decibels == value_) {
        return;
    }
    value_ = decibels;
    ShowValue();
    setOffset_(CnxSMeterLevelRules::OffsetTenths(value_));
}

void CnxK740RXDlgCalibration::Step(int steps) {
    SetValue(std::clamp(value_ + steps / 10.0, kMinimum, kMaximum));
}

void CnxK740RXDlgCalibration::ShowValue() {
    const QSignalBlocker quiet(field_);
    field_->setValue(value_);
}

void CnxK740RXDlgCalibration::done(int result) {
    QDialog::done(result);
    PostMessage(mainWindow_, WM_CAL_CLOSE, WPARAM(this), 0);
}
