#include "scanner/CnxK740RXCtrlScanner.h"

#include <QHBoxLayout>
#include <QLabel>

#include "scanner/CnxK7RCtrlScanButtons.h"
#include "settings/SnxScanPlan.h"
#include "ui/TmyColorScheme.h"

namespace {
const QString kSeparator = QStringLiteral(" \u00B7 ");
// Short of room, the range shows at least this much of its text, its start.
constexpr int kFewestRangeCharacters = 12;

QString Megahertz(int64_t hertz) {
    return QString::number(double(hertz) / 1e6, 'f', 3);
}

// The channel whose own frequency this is; nothing elsewhere.
std::optional<int32_t> ChannelAt(int64_t hertz) {
    const auto channel = CnxChannelPlan::ChannelOf(hertz);
    return channel && channel->frequency == hertz ? std::optional(channel->number) : std::nullopt;
}
}  // namespace

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
    range_ = new CnxCtrlElidedButton(this, kFewestRangeCharacters);
    range_->setObjectName(QStringLiteral("scanRange"));
    range_->setFlat(true);
    range_->setFont(s.displayFont(12));
    range_->setCursor(Qt::PointingHandCursor);
    range_->setFocusPolicy(Qt::TabFocus);  // a click leaves Space to the window's scan key
    connect(range_, &QPushButton::clicked, this, [this] { OnRangeClicked.Raise(this, slot_); });

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

void CnxK740RXCtrlScanner::ShowPlan(const SnxScanPlan& plan, bool channels) {
    const QString text = PlanText(plan, channels);
    range_->SetFullText(text);
    QString tip =
        text + QStringLiteral("\nThe range the scan sweeps and its step: click to change them");
    if (!plan.lockout.empty()) {
        tip += QStringLiteral("\nLocked out: %1").arg(QString::fromStdString(plan.LockoutText()));
    }
    if (plan.priority != SnxScanPlan::kNoPriority) {
        tip += QStringLiteral("\nPriority channel %1, measured after every %2 other steps")
                   .arg(plan.priority)
                   .arg(plan.priorityEvery);
    }
    range_->setToolTip(tip);
}

QString CnxK740RXCtrlScanner::PlanText(const SnxScanPlan& plan, bool channels) {
    const auto lower = ChannelAt(plan.lower);
    const auto upper = ChannelAt(plan.upper);
    QString text =
        channels && lower && upper
            ? QStringLiteral("Ch %1\u2013%2").arg(*lower).arg(*upper)
            : QStringLiteral("%1\u2013%2 MHz").arg(Megahertz(plan.lower), Megahertz(plan.upper));
    text += kSeparator + QStringLiteral("%1 kHz").arg(double(plan.step) / 1e3, 0, 'g', 6);
    if (const int locked = plan.CountLockedOutInRange(); locked > 0) {
        text += kSeparator + QStringLiteral("%1 out").arg(locked);
    }
    if (plan.priority != SnxScanPlan::kNoPriority) {
        text += kSeparator + QStringLiteral("P%1").arg(plan.priority);
    }
    return text;
}

QString CnxK740RXCtrlScanner::GetStateText() const {
    return state_->text();
}

QString CnxK740RXCtrlScanner::GetRangeText() const {
    return range_->GetFullText();
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
