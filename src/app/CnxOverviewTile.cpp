#include "app/CnxOverviewTile.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

#include "scanner/CnxCtrlScopeThumbnail.h"
#include "scanner/CnxSweepHistory.h"
#include "ui/CnxCtrlLamp.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kReadOutPixels = 15;

QString LevelText(double dbm) {
    return std::isnan(dbm) ? QStringLiteral("no reading") : QString::asprintf("%.1f dBm", dbm);
}
}  // namespace

CnxOverviewTile::CnxOverviewTile(QWidget* parent, int slot, const ScopeView& levels,
                                 const CnxSweepHistory& history)
    : QFrame(parent),
      slot_(slot),
      history_(history),
      lamp_(new CnxCtrlLamp(this)),
      name_(new QLabel(this)),
      state_(new QLabel(this)),
      frequency_(new QLabel(this)),
      level_(new QLabel(this)),
      thumbnail_(new CnxCtrlScopeThumbnail(this, levels, history)) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    setObjectName(QStringLiteral("tile"));
    setStyleSheet(QStringLiteral("QFrame#tile { background: %1; border: 1px solid %2;"
                                 " border-radius: 4px; }"
                                 "QFrame#tile[lost=\"true\"] { border: 2px solid %3; }"
                                 "QFrame#tile:hover { border-color: %4; }")
                      .arg(scheme.panel.name(), scheme.border.name(), scheme.alarm.name(),
                           scheme.focus.name()));
    setCursor(Qt::PointingHandCursor);
    QFont bold = font();
    bold.setBold(true);
    name_->setFont(bold);
    state_->setProperty("secondary", true);
    for (QLabel* readOut : {frequency_, level_}) {
        readOut->setFont(scheme.displayFont(kReadOutPixels));
        readOut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    frequency_->setStyleSheet(QStringLiteral("color: %1;").arg(scheme.display.name()));
    // Room for the widest reading, so the line does not move as the level changes.
    level_->setMinimumWidth(level_->fontMetrics().horizontalAdvance(QStringLiteral("-120.0 dBm")));
    frequency_->setToolTip(QStringLiteral("Where the receiver is tuned"));
    level_->setToolTip(
        QStringLiteral("While it scans, the level of its latest step; otherwise where it is "
                       "tuned"));

    // Two short lines rather than one long one, so that two tiles fit side by side even in the
    // smallest window: who and where, then what it does and hears.
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(8);
    header->setVerticalSpacing(0);
    header->addWidget(lamp_, 0, 0, Qt::AlignVCenter);
    header->addWidget(name_, 0, 1);
    header->addWidget(frequency_, 0, 3);
    header->addWidget(state_, 1, 1);
    header->addWidget(level_, 1, 3);
    header->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(thumbnail_, 1);
}

void CnxOverviewTile::Show(const Shown& shown) {
    const bool changed = first_ || !(shown == shown_);
    // Rows made, or taken away by a clear.
    const std::pair<uint64_t, int> rows{history_.GetRowsMade(), history_.GetRowCount()};
    const bool newRows = rows != rowsShown_;
    if (changed) {
        name_->setText(shown.name);
        state_->setText(shown.state);
        frequency_->setText(QString::asprintf("%.3f MHz", shown.frequency / 1e6));
        level_->setText(LevelText(shown.level));
        lamp_->SetOn(!shown.lost);
        ShowLost(shown.lost);
        setToolTip(
            QStringLiteral("%1: click to open its own view (F2 switches views)").arg(shown.name));
    }
    if (changed || newRows || shown.scanning) {
        thumbnail_->update();
    }
    shown_ = shown;
    rowsShown_ = rows;
    first_ = false;
}

void CnxOverviewTile::ShowLost(bool lost) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    state_->setStyleSheet(
        lost ? QStringLiteral("color: %1; font-weight: bold;").arg(scheme.alarm.name())
             : QString());
    if (property("lost").toBool() != lost) {
        setProperty("lost", lost);
        style()->unpolish(this);
        style()->polish(this);
    }
}

QString CnxOverviewTile::GetStateText() const {
    return state_->text();
}

QString CnxOverviewTile::GetLevelText() const {
    return level_->text();
}

void CnxOverviewTile::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Chosen(slot_);
    }
}
