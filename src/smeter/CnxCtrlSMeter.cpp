#include "smeter/CnxCtrlSMeter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "smeter/CnxSMeterDebug.h"
#include "ui/TmyColorScheme.h"

namespace {

QColor ToneColour(CnxSMeterModel::Tone tone) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    switch (tone) {
        case CnxSMeterModel::Tone::kAlert:
            return s.alarm;
        case CnxSMeterModel::Tone::kNormal:
            return s.level;
        case CnxSMeterModel::Tone::kUnknown:
            break;
    }
    return s.textSecondary;
}

}  // namespace

CnxCtrlSMeter::CnxCtrlSMeter(QWidget* parent) : QFrame(parent) {
    meter_ = new CnxSMeterDebug(model_, this);
    meter_->SetSmoothing(CnxSMeterBallistics::kPanelFactors);
    meter_->SetThresholdHandler([this](double dbm) { squelch_->setValue(int(std::lround(dbm))); });

    atten_ = MakeStatusButton(QStringLiteral("Attenuator: click to switch it on or off"),
                              &CnxSMeterModel::ClickAttenuator);
    agc_ = MakeStatusButton(QStringLiteral("AGC: click for the next setting (off, slow, medium, "
                                           "fast)"),
                            &CnxSMeterModel::ClickAGC);
    avc_ = MakeStatusButton(QStringLiteral("AVC: click for the next setting (off, slow, medium, "
                                           "fast)"),
                            &CnxSMeterModel::ClickAVC);

    squelch_ = new QSpinBox(this);
    squelch_->setRange(int(CnxSMeterScale::kMinimum), int(CnxSMeterScale::kMaximum));
    squelch_->setValue(int(model_.GetSquelchThreshold()));
    squelch_->setPrefix(QStringLiteral("SQ "));
    squelch_->setSuffix(QStringLiteral(" dBm"));
    squelch_->setToolTip(QStringLiteral("Squelch threshold: levels below it count as no signal"));
    connect(squelch_, &QSpinBox::valueChanged, this, [this](int dbm) {
        model_.SetSquelchThreshold(dbm);
        meter_->StateChanged();
    });

    defeat_ = new QPushButton(QStringLiteral("Defeat"), this);
    defeat_->setCheckable(true);
    defeat_->setFocusPolicy(Qt::TabFocus);
    defeat_->setToolTip(
        QStringLiteral("Squelch defeat: while on, levels no longer open or close "
                       "the squelch"));
    connect(defeat_, &QPushButton::toggled, this, [this](bool on) {
        model_.SetSquelchDefeat(on);
        meter_->StateChanged();
    });

    auto* status = new QHBoxLayout;
    status->setSpacing(2);
    status->addWidget(atten_);
    status->addWidget(agc_);
    status->addWidget(avc_);
    status->addStretch(1);
    auto* squelchRow = new QHBoxLayout;
    squelchRow->setSpacing(6);
    squelchRow->addWidget(squelch_, 1);
    squelchRow->addWidget(defeat_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(meter_, 1);
    layout->addLayout(status);
    layout->addLayout(squelchRow);

    setTabOrder(meter_, atten_);
    setTabOrder(atten_, agc_);
    setTabOrder(agc_, avc_);
    setTabOrder(avc_, squelch_);
    setTabOrder(squelch_, defeat_);
    ShowSquelchControls(true);
    ShowAllStatus();
}

QPushButton* CnxCtrlSMeter::MakeStatusButton(const QString& toolTip,
                                             void (CnxSMeterModel::*click)()) {
    auto* button = new QPushButton(this);
    button->setFlat(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolTip(toolTip);
    connect(button, &QPushButton::clicked, this, [this, click] {
        (model_.*click)();
        ShowAllStatus();
    });
    return button;
}

void CnxCtrlSMeter::ShowStatus(QPushButton* button, const CnxSMeterModel::Status& status) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    button->setText(QString::fromStdString(status.text));
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: transparent; color: %1; font-weight: bold;"
                       " border: 1px solid transparent; border-radius: 3px; padding: 1px 4px; }"
                       "QPushButton:hover { border-color: %2; }"
                       "QPushButton:focus { border-color: %3; }"
                       "QPushButton:disabled { color: %4; }")
            .arg(ToneColour(status.tone).name(), s.border.name(), s.focus.name(),
                 s.textSecondary.darker(140).name()));
}

void CnxCtrlSMeter::ShowAllStatus() {
    ShowStatus(atten_, model_.AttenuatorStatus());
    ShowStatus(agc_, model_.AGCStatus());
    ShowStatus(avc_, model_.AVCStatus());
    meter_->StateChanged();
}

void CnxCtrlSMeter::SetLevel(double dbm) {
    model_.SetLevel(dbm);
    meter_->LevelChanged();
}

void CnxCtrlSMeter::SetAttenuator(bool on) {
    model_.SetAttenuator(on);
    ShowAllStatus();
}

void CnxCtrlSMeter::SetAGCMode(int32_t mode) {
    model_.SetAGCMode(mode);
    ShowAllStatus();
}

void CnxCtrlSMeter::SetAVCMode(int32_t mode) {
    model_.SetAVCMode(mode);
    ShowAllStatus();
}

void CnxCtrlSMeter::SetSquelchThreshold(double dbm) {
    model_.SetSquelchThreshold(dbm);
    const QSignalBlocker quiet(squelch_);
    squelch_->setValue(int(std::lround(dbm)));
    meter_->StateChanged();
}

void CnxCtrlSMeter::SetSquelchDefeat(bool defeat) {
    model_.SetSquelchDefeat(defeat);
    const QSignalBlocker quiet(defeat_);
    defeat_->setChecked(defeat);
    meter_->StateChanged();
}

void CnxCtrlSMeter::ShowSquelchControls(bool show) {
    squelch_->setVisible(show);
    defeat_->setVisible(show);
    meter_->AllowSquelchSetting(show);
}
