#include "app/CnxRepaintMeter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QWidget>

namespace {
Q_LOGGING_CATEGORY(lcRepaints, "k740.repaints", QtInfoMsg)
}  // namespace

CnxRepaintMeter::CnxRepaintMeter(QWidget& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
    since_.start();
    startTimer(kPeriodMs);
}

CnxRepaintMeter::~CnxRepaintMeter() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool CnxRepaintMeter::IsWanted() {
    return lcRepaints().isDebugEnabled();
}

bool CnxRepaintMeter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && watched == &window_) {
        ++passes_;
    } else if (event->type() == QEvent::Paint && watched->isWidgetType() &&
               window_.isAncestorOf(static_cast<QWidget*>(watched))) {
        ++paints_;
    }
    return false;
}

void CnxRepaintMeter::timerEvent(QTimerEvent*) {
    const double seconds = since_.restart() / 1000.0;
    qCDebug(lcRepaints).nospace() << "window repaints " << passes_ / seconds
                                  << "/s, widgets painted " << paints_ / seconds << "/s";
    passes_ = 0;
    paints_ = 0;
}
