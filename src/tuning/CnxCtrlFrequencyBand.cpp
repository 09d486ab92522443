#include "tuning/CnxCtrlFrequencyBand.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/CnxCtrlLamp.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kChannelPixels = 17;
}

CnxCtrlFrequencyBand::CnxCtrlFrequencyBand(const std::string& path, QWidget* parent)
    : QWidget(parent), path_(path) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    channel_ = new QLabel(this);
    channel_->setFont(scheme.displayFont(kChannelPixels));
    // Style sheets outrank palettes, so the amber is given both ways.
    channel_->setStyleSheet(QStringLiteral("color: %1;").arg(scheme.display.name()));
    channel_->setToolTip(tr("Sonobuoy channel of the tuned frequency"));
    // Room for the longest text up front, so the layout does not move as the channel changes.
    channel_->setMinimumWidth(
        channel_->fontMetrics().horizontalAdvance(QStringLiteral("Channel Undefined")));

    onChannel_ = new CnxCtrlLamp(this);
    onChannel_->setToolTip(tr("Lit when the frequency is exactly on the channel"));

    band_ = new QLabel(this);
    // Long names are cut with an ellipsis rather than widening the window.
    band_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    band_->installEventFilter(this);

    auto* channelRow = new QHBoxLayout;
    channelRow->setSpacing(8);
    channelRow->addWidget(onChannel_, 0, Qt::AlignVCenter);
    channelRow->addWidget(channel_);
    channelRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(channelRow);
    layout->addWidget(band_);

    ShowBandName(QString::fromLatin1(kNoBandFileText));
    bands_.LoadFromFile(path_);
}

void CnxCtrlFrequencyBand::SetPath(const std::string& path) {
    if (path == path_) {
        return;
    }
    path_ = path;
    if (!bands_.IsEmpty()) {
        bands_.Clear();
        bands_.LoadFromFile(path_);
        SetFrequency(frequency_);
    }
}

void CnxCtrlFrequencyBand::SetFrequency(int64_t frequency) {
    frequency_ = frequency;
    const nxFrequencyBand* band = bands_.Find(frequency);
    ShowBandName(band ? QString::fromStdString(band->name) : QStringLiteral(" "));
}

void CnxCtrlFrequencyBand::SetChannelText(const std::string& text) {
    channel_->setText(QString::fromStdString(text));
}

void CnxCtrlFrequencyBand::SetOnChannel(bool on) {
    onChannel_->SetOn(on);
}

QString CnxCtrlFrequencyBand::GetChannelText() const {
    return channel_->text();
}

bool CnxCtrlFrequencyBand::IsOnChannel() const {
    return onChannel_->IsOn();
}

void CnxCtrlFrequencyBand::ShowBandName(const QString& name) {
    bandName_ = name;
    band_->setToolTip(name.trimmed().isEmpty() ? tr("No band of the band file holds the frequency")
                                               : name);
    ElideBandName();
}

void CnxCtrlFrequencyBand::ElideBandName() {
    band_->setText(band_->fontMetrics().elidedText(bandName_, Qt::ElideRight, band_->width()));
}

bool CnxCtrlFrequencyBand::eventFilter(QObject* watched, QEvent* event) {
    if (watched == band_ && event->type() == QEvent::Resize) {
        ElideBandName();
    }
    return QWidget::eventFilter(watched, event);
}
