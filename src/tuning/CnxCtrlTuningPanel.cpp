#include "tuning/CnxCtrlTuningPanel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "settings/CnxChannelPlan.h"
#include "tuning/CnxCtrlFrequency.h"
#include "tuning/CnxCtrlFrequencyBand.h"
#include "tuning/CnxCtrlKnob.h"
#include "ui/TmyColorScheme.h"

namespace {

QFrame* MakePanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("panel"));
    return panel;
}

}  // namespace

CnxCtrlTuningPanel::CnxCtrlTuningPanel(const std::string& bandFilePath, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(BuildTuningBlock(), 5);
    layout->addWidget(BuildChannelBlock(bandFilePath), 3);
    setTabOrder(entry_, knob_);
    QWidget* previous = knob_;
    for (QWidget* next : {channel_, atten_, monitor_, record_, remote_, rfAmp_}) {
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, volume_);
}

QWidget* CnxCtrlTuningPanel::BuildTuningBlock() {
    QFrame* block = MakePanel(this);
    entry_ = new CnxCtrlFrequency(block);
    entry_->SetCaption(QStringLiteral("Freq"));
    knob_ = new CnxCtrlKnob(block);
    knob_->setFixedSize(40, 40);
    channel_ = AddSwitch(QStringLiteral("Channel"),
                         QStringLiteral("Channel mode: tune on the sonobuoy channel raster"),
                         OnChannelModeToggled, block);
    atten_ = AddSwitch(QStringLiteral("Atten"), QStringLiteral("Attenuator, 18 dB"),
                       OnAttenuatorToggled, block);
    monitor_ = AddSwitch(QStringLiteral("Monitor"), QStringLiteral("Play the receiver's audio"),
                         OnMonitorToggled, block);
    record_ =
        AddSwitch(QStringLiteral("\u25CF Rec"),
                  QStringLiteral("Record what you hear to a WAV file"), OnRecordToggled, block);
    record_->setObjectName(QStringLiteral("record"));
    record_->setStyleSheet(record_->styleSheet() +
                           QStringLiteral("QPushButton#record:checked { color: %1; }")
                               .arg(TmyColorScheme::Default().alarm.name()));
    remote_ = AddSwitch(QStringLiteral("Remote"), QString(), OnRemoteToggled, block);
    rfAmp_ = AddSwitch(QStringLiteral("RF Amp"),
                       QStringLiteral("RF amplifier: always on for these receivers"),
                       OnRfAmplifierToggled, block);
    volume_ = new QSlider(Qt::Horizontal, block);
    volume_->setToolTip(QStringLiteral("Volume (Left / Right arrow)"));
    volume_->setFocusPolicy(Qt::TabFocus);
    connect(volume_, &QSlider::valueChanged, this,
            [this](int value) { OnVolumeChanged.Raise(this, value); });

    // Two rows: what shapes the signal, then where it goes.
    auto* switches = new QGridLayout;
    switches->setSpacing(6);
    switches->addWidget(channel_, 0, 0);
    switches->addWidget(atten_, 0, 1);
    switches->addWidget(monitor_, 0, 2);
    switches->addWidget(record_, 1, 0);
    switches->addWidget(remote_, 1, 1);
    switches->addWidget(rfAmp_, 1, 2);
    switches->setColumnStretch(3, 1);
    auto* volume = new QHBoxLayout;
    volume->setSpacing(8);
    auto* caption = new QLabel(QStringLiteral("Volume"), block);
    caption->setProperty("secondary", true);
    volume->addWidget(caption);
    volume->addWidget(volume_, 1);
    auto* layout = new QGridLayout(block);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setVerticalSpacing(6);
    layout->addWidget(entry_, 0, 0, 1, 2);
    layout->addLayout(switches, 1, 0, 1, 2);
    layout->addWidget(knob_, 2, 0);
    layout->addLayout(volume, 2, 1);
    layout->setColumnStretch(1, 1);
    return block;
}

QWidget* CnxCtrlTuningPanel::BuildChannelBlock(const std::string& bandFilePath) {
    QFrame* block = MakePanel(this);
    band_ = new CnxCtrlFrequencyBand(bandFilePath, block);
    // The channel and its band together in the middle of the block, not spread to its edges.
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addStretch(1);
    layout->addWidget(band_);
    layout->addStretch(1);
    return block;
}

QPushButton* CnxCtrlTuningPanel::AddSwitch(const QString& text, const QString& toolTip,
                                           TmyEventList<int32_t>& event, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setCheckable(true);
    button->setToolTip(toolTip);
    // Reached by Tab; a click leaves the focus where it was, so the tuning keys keep working.
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { padding: 4px 5px; }"));
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(text) + 14);
    connect(button, &QPushButton::toggled, this, [this, button, &event](bool on) {
        // The switch shows what its owner decides, not what the click made of it.
        ShowChecked(button, !on);
        event.Raise(this, on ? 1 : 0);
    });
    return button;
}

void CnxCtrlTuningPanel::ShowChecked(QPushButton* button, bool on) {
    const QSignalBlocker quiet(button);
    button->setChecked(on);
}

void CnxCtrlTuningPanel::ShowFrequency(int32_t frequency) {
    entry_->Model().ShowFrequency(frequency);
    band_->SetFrequency(frequency);
    const auto channel = CnxChannelPlan::ChannelOf(frequency);
    band_->SetChannelText(CnxChannelPlan::ChannelText(channel));
    band_->SetOnChannel(channel && channel->frequency == frequency);
}

void CnxCtrlTuningPanel::ShowLimits(int32_t lower, int32_t upper) {
    entry_->Model().SetLimits(lower, upper);
}

void CnxCtrlTuningPanel::ShowKnobStep(int32_t step) {
    knob_->SetStep(step);
}

void CnxCtrlTuningPanel::ShowChannelMode(bool on) {
    ShowChecked(channel_, on);
}

void CnxCtrlTuningPanel::ShowAttenuator(bool on) {
    ShowChecked(atten_, on);
}

void CnxCtrlTuningPanel::ShowRfAmplifier(bool on) {
    ShowChecked(rfAmp_, on);
}

void CnxCtrlTuningPanel::ShowMonitor(bool on) {
    ShowChecked(monitor_, on);
}

void CnxCtrlTuningPanel::ShowVolume(int volume, int minimum, int maximum) {
    const QSignalBlocker quiet(volume_);
    volume_->setRange(minimum, std::max(minimum, maximum));
    volume_->setValue(volume);
}

void CnxCtrlTuningPanel::ShowRecording(bool on, const QString& elapsed, const QString& toolTip) {
    ShowChecked(record_, on);
    record_->setText(QStringLiteral("\u25CF ") + (on ? elapsed : QStringLiteral("Rec")));
    record_->setToolTip(toolTip);
}

void CnxCtrlTuningPanel::ShowRemote(bool on, const QString& toolTip) {
    ShowChecked(remote_, on);
    remote_->setToolTip(toolTip);
}

void CnxCtrlTuningPanel::EnableControls(bool manualTuning, bool listening) {
    entry_->enable(manualTuning);
    knob_->setEnabled(manualTuning);
    channel_->setEnabled(manualTuning);
    atten_->setEnabled(manualTuning);
    monitor_->setEnabled(listening);
    volume_->setEnabled(listening);
}
