#include "app/CnxCtrlLevelMeter.h"

#include <QPainter>
#include <algorithm>

#include "ui/TmyColorScheme.h"

namespace {
constexpr double kFloor = -130.0;
constexpr double kCeiling = -30.0;
}  // namespace

CnxCtrlLevelMeter::CnxCtrlLevelMeter(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("Signal level of the selected receiver"));
}

QString CnxCtrlLevelMeter::LevelText() const {
    return QString::asprintf("%.1f dBm", level_);
}

void CnxCtrlLevelMeter::SetLevel(double dbm, bool attenuator) {
    if (dbm == level_ && attenuator == attenuator_) {
        return;
    }
    level_ = dbm;
    attenuator_ = attenuator;
    update();
}

void CnxCtrlLevelMeter::paintEvent(QPaintEvent*) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect area = rect().adjusted(8, 6, -8, -6);

    p.setPen(s.textSecondary);
    p.setFont(s.uiFont());
    p.drawText(area, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("S-METER"));

    p.setFont(s.displayFont(22));
    p.setPen(isEnabled() ? s.display : s.textSecondary);
    const QRect value(area.left(), area.top() + 16, area.width(), 30);
    p.drawText(value, Qt::AlignRight | Qt::AlignVCenter, LevelText());

    const QRect bar(area.left(), value.bottom() + 8, area.width(), 8);
    p.fillRect(bar, s.plot);
    const double fraction = std::clamp((level_ - kFloor) / (kCeiling - kFloor), 0.0, 1.0);
    p.fillRect(QRect(bar.left(), bar.top(), int(bar.width() * fraction), bar.height()),
               isEnabled() ? s.level : s.lampOff);

    p.setFont(s.uiFont());
    p.setPen(attenuator_ ? s.display : s.textSecondary);
    p.drawText(QRect(area.left(), bar.bottom() + 4, area.width(), 18), Qt::AlignLeft,
               attenuator_ ? QStringLiteral("ATTEN ON") : QStringLiteral("ATTEN OFF"));
}
