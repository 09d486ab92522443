#include "scanner/CnxK740RXCtrlScanner.h"

#include <QHBoxLayout>
#include <QLabel>

#include "scanner/CnxK7RCtrlScanButtons.h"
#include "ui/TmyColorScheme.h"

CnxK740RXCtrlScanner::CnxK740RXCtrlScanner(QWidget* parent, int slot)
    : QFrame(parent), slot_(slot) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    title_ = new QLabel(QStringLiteral("SCANNER"), this);
    title_->setProperty("secondary", true);
    buttons_ = new CnxK7RCtrlScanButtons(this);
    subscriptions_.push_back(buttons_->OnModeChanged.Set(this, &CnxK740RXCtrlScanner::ModeAsked));
    subscriptions_.push_back(buttons_->OnLoopChanged.Set(this, &CnxK740RXCtrlScanner::LoopAsked));
    state_ = new QLabel(this);
    state_->setFont(s.displayFont(14));
    state_->setMinimumWidth(QFontMetrics(state_->font()).horizontalAdvance("Scanning") + 8);
    range_ = new QLabel(this);
    range_->setFont(s.displayFont(12));
    range_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    range_->setToolTip(QStringLiteral("The range the scan sweeps, and its step"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(10);
    layout->addWidget(title_);
    layout->addWidget(buttons_);
    layout->addWidget(state_);
    layout->addStretch(1);
    layout->addWidget(range_);
    ShowState();
}

void CnxK740RXCtrlScanner::ShowMode(int32_t mode) {
    buttons_->ShowMode(mode);
    ShowState();
}

int32_t CnxK740RXCtrlScanner::GetMode() const {
    return buttons_->GetMode();
}

void CnxK740RXCtrlScanner::ShowLoop(int32_t loop) {
    buttons_->ShowLoop(loop);
}

int32_t CnxK740RXCtrlScanner::GetLoop() const {
    return buttons_->GetLoop();
}

void CnxK740RXCtrlScanner::SetRange(int64_t lower, int64_t upper, int64_t step) {
    range_->setText(QStringLiteral("%1 \u2013 %2 MHz  \u00B7  %3 kHz")
                        .arg(double(lower) / 1e6, 0, 'f', 3)
                        .arg(double(upper) / 1e6, 0, 'f', 3)
                        .arg(double(step) / 1e3, 0, 'g', 6));
}

QString CnxK740RXCtrlScanner::GetStateText() const {
    return state_->text();
}

QString CnxK740RXCtrlScanner::GetRangeText() const {
    return range_->text();
}

void CnxK740RXCtrlScanner::ModeAsked(void*, int32_t mode, std::intptr_t) {
    OnScanCommand.Raise(this, mode);
}

void CnxK740RXCtrlScanner::LoopAsked(void*, int32_t loop, std::intptr_t) {
    OnLoopChanged.Raise(this, loop);
}

void CnxK740RXCtrlScanner::ShowState() {
    const TmyColorScheme& s = TmyColorScheme::Default();
    QColor colour = s.textSecondary;
    switch (buttons_->GetMode()) {
        case CnxK7RCtrlScanButtons::kModeScan:
            state_->setText(QStringLiteral("Scanning"));
            colour = s.level;
            break;
        case CnxK7RCtrlScanButtons::kModePause:
            state_->setText(QStringLiteral("Paused"));
            colour = s.display;
            break;
        default:
            state_->setText(QStringLiteral("Stopped"));
            break;
    }
    state_->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
}
