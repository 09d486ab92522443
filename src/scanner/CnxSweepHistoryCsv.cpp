#include "scanner/CnxSweepHistoryCsv.h"

#include <QDateTime>
#include <QSaveFile>
#include <algorithm>

#include "scanner/CnxSweepHistory.h"
#include "scanner/ScopeView.h"

namespace {

QString PointName(int64_t hertz) {
    const int channel = ScopeReadOut::ChannelOf(hertz);
    return channel < 0 ? QStringLiteral("%1 Hz").arg(hertz) : QStringLiteral("ch%1").arg(channel);
}

}  // namespace

QByteArray CnxSweepHistoryCsv::Write(const CnxSweepHistory& history, const ScopeView& points) {
    const int count = std::min(history.GetPointCount(), points.GetPointCount());
    QString text = QStringLiteral("time_utc");
    for (int point = 0; point < count; ++point) {
        text += QLatin1Char(',') + PointName(points.GetPointFrequency(point));
    }
    text += QLatin1Char('\n');
    for (int row = history.GetRowCount() - 1; row >= 0; --row) {
        text += QDateTime::fromMSecsSinceEpoch(history.GetTime(row), Qt::UTC)
                    .toString(Qt::ISODateWithMs);
        for (int point = 0; point < count; ++point) {
            text += QLatin1Char(',');
            if (const auto level = history.GetLevel(row, point)) {
                text += QString::number(*level, 'f', 1);
            }
        }
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool CnxSweepHistoryCsv::Export(const QString& path, const CnxSweepHistory& history,
                                const ScopeView& points) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Write(history, points)) >= 0 &&
           file.commit();
}
