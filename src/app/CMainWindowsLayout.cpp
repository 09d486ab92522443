// The window's controls and their arrangement: receivers on the left; tuning, channel and
// S-meter across the top; the scan view in the middle, taking the growth; the spectrum below.
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/CMainWindows.h"
#include "app/CnxCtrlFrequency.h"
#include "app/CnxCtrlFrequencyBand.h"
#include "app/CnxCtrlKnob.h"
#include "app/CnxTuningRules.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "settings/CnxFrequencyBandList.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"
#include "ui/TmyColorScheme.h"

namespace {

QFrame* MakePanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("panel"));
    return panel;
}

QLabel* MakeCaption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("secondary", true);
    return label;
}

QPushButton* MakeSwitch(const QString& text, const QString& toolTip, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setCheckable(true);
    button->setToolTip(toolTip);
    // Reached by Tab; a click leaves the focus where it was, so the tuning keys keep working.
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { padding: 4px 5px; }"));
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(text) + 14);
    return button;
}

}  // namespace

void CMainWindows::BuildControls() {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    scheme.ApplyTo(*this);

    receiverList_ = new CnxK740RXCtrlReceiverManager(this);
    // Never narrower than its own buttons need.
    receiverList_->setFixedWidth(std::max(176, receiverList_->minimumSizeHint().width()));
    receiverList_->OnHelp.Subscribe(this, [this](void*, int32_t) { OpenHelp(); });
    receiverList_->OnAbout.Subscribe(this, [this](void*, int32_t) { OpenAboutWindow(); });
    receiverList_->OnInfo.Subscribe(this, [this](void*, int32_t) { OpenReceiverListWindow(); });
    receiverList_->OnCal.Subscribe(this, [this](void*, int32_t) { OpenCalibrationWindow(); });

    // Tuning block.
    QFrame* tuning = MakePanel(this);
    frequencyEntry_ = new CnxCtrlFrequency(tuning);
    frequencyEntry_->SetCaption(QStringLiteral("Freq"));
    frequencyEntry_->Model().SetLimits(CnxChannelPlan::kLowerLimit, upperLimit_);
    knob_ = new CnxCtrlKnob(tuning);
    knob_->setFixedSize(40, 40);
    channelButton_ =
        MakeSwitch(QStringLiteral("Channel"),
                   QStringLiteral("Channel mode: tune on the sonobuoy channel raster"), tuning);
    attenButton_ = MakeSwitch(QStringLiteral("Atten"), QStringLiteral("Attenuator, 18 dB"), tuning);
    monitorButton_ =
        MakeSwitch(QStringLiteral("Monitor"), QStringLiteral("Play the receiver's audio"), tuning);
    recordButton_ = MakeSwitch(QStringLiteral("\u25CF Rec"),
                               QStringLiteral("Record what you hear to a WAV file"), tuning);
    recordButton_->setObjectName(QStringLiteral("record"));
    recordButton_->setStyleSheet(
        recordButton_->styleSheet() +
        QStringLiteral("QPushButton#record:checked { color: %1; }").arg(scheme.alarm.name()));
    remoteButton_ = MakeSwitch(QStringLiteral("Remote"), QString(), tuning);
    rfAmpButton_ =
        MakeSwitch(QStringLiteral("RF Amp"),
                   QStringLiteral("RF amplifier: always on for these receivers"), tuning);
    volumeSlider_ = new QSlider(Qt::Horizontal, tuning);
    volumeSlider_->setToolTip(QStringLiteral("Volume (Left / Right arrow)"));
    volumeSlider_->setFocusPolicy(Qt::TabFocus);
    // Two rows: what shapes the signal, then where it goes.
    auto* switches = new QGridLayout;
    switches->setSpacing(6);
    switches->addWidget(channelButton_, 0, 0);
    switches->addWidget(attenButton_, 0, 1);
    switches->addWidget(monitorButton_, 0, 2);
    switches->addWidget(recordButton_, 1, 0);
    switches->addWidget(remoteButton_, 1, 1);
    switches->addWidget(rfAmpButton_, 1, 2);
    switches->setColumnStretch(3, 1);
    auto* volume = new QHBoxLayout;
    volume->setSpacing(8);
    volume->addWidget(MakeCaption(QStringLiteral("Volume"), tuning));
    volume->addWidget(volumeSlider_, 1);
    auto* tuningLayout = new QGridLayout(tuning);
    tuningLayout->setContentsMargins(10, 8, 10, 8);
    tuningLayout->setVerticalSpacing(6);
    tuningLayout->addWidget(frequencyEntry_, 0, 0, 1, 2);
    tuningLayout->addLayout(switches, 1, 0, 1, 2);
    tuningLayout->addWidget(knob_, 2, 0);
    tuningLayout->addLayout(volume, 2, 1);
    tuningLayout->setColumnStretch(1, 1);

    // Channel block.
    QFrame* channel = MakePanel(this);
    EnsureDefaultBandFile(settings_->GetDataDir(), settings_->GetProgramDir() + "/Channels.csv");
    bandDisplay_ = new CnxCtrlFrequencyBand(settings_->GetBandFilePath(), channel);
    auto* channelLayout = new QVBoxLayout(channel);
    channelLayout->setContentsMargins(10, 8, 10, 8);
    channelLayout->addWidget(bandDisplay_, 1);

    // One S-meter per receiver; only the selected one shows.
    QFrame* meter = MakePanel(this);
    meterStack_ = new QStackedWidget(meter);
    meterStack_->setStyleSheet(QStringLiteral("background: transparent;"));
    for (SnxReceiverSlot& slot : slots_) {
        slot.meter = new CnxCtrlSMeter(meterStack_);
        slot.meter->OnAttenuatorClicked.Subscribe(
            this, [this](void*, int32_t on) { SetAttenuator(on != 0); });
        meterStack_->addWidget(slot.meter);
    }
    auto* meterLayout = new QVBoxLayout(meter);
    meterLayout->setContentsMargins(4, 4, 4, 4);
    meterLayout->addWidget(meterStack_);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(tuning, 5);
    top->addWidget(channel, 3);
    top->addWidget(meter, 4);

    QWidget* scanners = BuildScanners();
    spectrum_ = new CnxCtrlSpectrumPanel(this);
    spectrum_->SetFormat(kOutputRate);

    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    right->addLayout(top, 0);
    right->addWidget(scanners, 3);
    right->addWidget(spectrum_, 1);

    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(8);
    main->addWidget(receiverList_);
    main->addLayout(right, 1);

    setTabOrder(frequencyEntry_, knob_);
    setTabOrder(knob_, channelButton_);
    setTabOrder(channelButton_, attenButton_);
    setTabOrder(attenButton_, monitorButton_);
    setTabOrder(monitorButton_, recordButton_);
    setTabOrder(recordButton_, remoteButton_);
    setTabOrder(remoteButton_, rfAmpButton_);
    setTabOrder(rfAmpButton_, volumeSlider_);
}
