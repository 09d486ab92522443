#include "spectrum/CnxCtrlSpectrumPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/TmyColorScheme.h"

namespace {

QString Khz(int hz) {
    return QString::asprintf("%.2f", hz / 1000.0);
}

QLabel* MakeReadOut(QWidget* parent, const QString& toolTip) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    auto* label = new QLabel(parent);
    label->setFont(s.displayFont(12));
    label->setToolTip(toolTip);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, s.display);
    label->setPalette(palette);
    return label;
}

}  // namespace

CnxCtrlSpectrumPanel::CnxCtrlSpectrumPanel(QWidget* parent, const char* libraryFileName)
    : QWidget(parent) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    title_ = new QLabel(this);
    title_->setFont(s.uiFont());
    QPalette palette = title_->palette();
    palette.setColor(QPalette::WindowText, s.textSecondary);
    title_->setPalette(palette);
    filter_ = MakeReadOut(this, QStringLiteral("Filter: centre and width"));
    if_ = MakeReadOut(this, QStringLiteral("IF: shift and bandwidth"));
    spectrum_ = new CnxCtrlSpectrum(this, libraryFileName);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(title_, 1);
    header->addWidget(filter_);
    header->addSpacing(16);
    header->addWidget(if_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(spectrum_, 1);

    subscriptions_.push_back(
        spectrum_->FilterFrequencyChange.Subscribe(this, &CnxCtrlSpectrumPanel::OnFilterFrequency));
    subscriptions_.push_back(
        spectrum_->FilterBandwidthChange.Subscribe(this, &CnxCtrlSpectrumPanel::OnFilterBandwidth));
    subscriptions_.push_back(
        spectrum_->IFShihtPositionChange.Subscribe(this, &CnxCtrlSpectrumPanel::OnIFShift));
    subscriptions_.push_back(
        spectrum_->IFShihtRangeChange.Subscribe(this, &CnxCtrlSpectrumPanel::OnIFRange));
    subscriptions_.push_back(
        spectrum_->IFShiftModeChange.Subscribe(this, &CnxCtrlSpectrumPanel::OnIFShiftMode));

    spectrum_->SetFilterPos(kInitialFilterPos);
    spectrum_->SetFilterBandwidth(kInitialFilterBandwidth);
    spectrum_->SetIFShiftMode(1);
    filterPos_ = spectrum_->GetFilterPos();
    filterBandwidth_ = spectrum_->GetFilterBandwidth();
    Refresh();
}

void CnxCtrlSpectrumPanel::SetFormat(int sampleRate) {
    spectrum_->SetFormat(sampleRate);
    // The IF band opens to the widest the format allows.
    spectrum_->SetIFBandwidth(spectrum_->GetMaxIFBandwidth());
    ifRange_ = spectrum_->GetIFBandwidth();
    Refresh();
}

void CnxCtrlSpectrumPanel::Show(const float* samples, int count, int sampleRate,
                                bool frequencyChanged) {
    if (sampleRate > 0 && sampleRate != spectrum_->GetSampleRate()) {
        SetFormat(sampleRate);
    }
    spectrum_->Show(samples, count, 0, 0, frequencyChanged ? 1 : 0);
}

void CnxCtrlSpectrumPanel::SetFrequency(int hz) {
    if (hz != frequency_) {
        frequency_ = hz;
        Refresh();
    }
}

QString CnxCtrlSpectrumPanel::TitleText() const {
    if (frequency_ <= 0) {
        return QStringLiteral("AUDIO SPECTRUM");
    }
    return QStringLiteral("AUDIO SPECTRUM  %1 MHz").arg(frequency_ / 1e6, 0, 'f', 3);
}

QString CnxCtrlSpectrumPanel::FilterText() const {
    return QStringLiteral("Filter %1 kHz / %2 kHz").arg(Khz(filterPos_), Khz(filterBandwidth_));
}

QString CnxCtrlSpectrumPanel::IFText() const {
    const QString sign = ifShift_ > 0 ? QStringLiteral("+") : QString();
    return QStringLiteral("IF %1%2 kHz / %3 kHz").arg(sign, Khz(ifShift_), Khz(ifRange_));
}

void CnxCtrlSpectrumPanel::Refresh() {
    title_->setText(TitleText());
    filter_->setText(FilterText());
    if_->setText(IFText());
    if_->setVisible(ifShiftMode_ != 0);
}

void CnxCtrlSpectrumPanel::OnFilterFrequency(void*, int hz) {
    filterPos_ = hz;
    Refresh();
    FilterFrequencyChange.Raise(this, hz);
}

void CnxCtrlSpectrumPanel::OnFilterBandwidth(void*, int hz) {
    filterBandwidth_ = hz;
    Refresh();
    FilterBandwidthChange.Raise(this, hz);
}

void CnxCtrlSpectrumPanel::OnIFShift(void*, int hz) {
    ifShift_ = hz;
    Refresh();
    IFShihtPositionChange.Raise(this, hz);
}

void CnxCtrlSpectrumPanel::OnIFRange(void*, int hz) {
    ifRange_ = hz;
    Refresh();
    IFShihtRangeChange.Raise(this, hz);
}

void CnxCtrlSpectrumPanel::OnIFShiftMode(void*, int mode) {
    ifShiftMode_ = mode;
    Refresh();
    IFShiftModeChange.Raise(this, mode);
}
