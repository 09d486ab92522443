#include "activity/CnxActivityLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <system_error>

#include "settings/CnxCsvReader.h"

namespace {

QDateTime Utc(int64_t utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC);
}

QString Decibels(double dbm) {
    return QString::number(dbm, 'f', 1);
}

}  // namespace

CnxActivityLog::CnxActivityLog(QString folder) : folder_(std::move(folder)) {}

QString CnxActivityLog::FileName(int64_t utcMs) {
    return QStringLiteral("activity-%1.csv").arg(Utc(utcMs).toString(QStringLiteral("yyyy-MM-dd")));
}

QString CnxActivityLog::PathFor(int64_t utcMs) const {
    return folder_ + QLatin1Char('/') + FileName(utcMs);
}

QString CnxActivityLog::IsoTime(int64_t utcMs) {
    return Utc(utcMs).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString CnxActivityLog::Row(const SnxActivityHit& hit) {
    const int64_t ms = hit.endMs - hit.startMs;
    const QString duration = QString::asprintf("%lld.%03lld", static_cast<long long>(ms / 1000),
                                               static_cast<long long>(ms % 1000));
    const QStringList fields{IsoTime(hit.startMs),
                             IsoTime(hit.endMs),
                             duration,
                             CnxCsvReader::Quote(hit.serial),
                             QString::number(hit.slot + 1),
                             hit.channel > 0 ? QString::number(hit.channel) : QString(),
                             QString::number(hit.frequency),
                             Decibels(hit.peakDbm),
                             Decibels(hit.MeanDbm()),
                             QString::fromLatin1(SnxActivityHit::EndWord(hit.end)),
                             CnxCsvReader::Quote(hit.recording)};
    return fields.join(QLatin1Char(','));
}

QString CnxActivityLog::RecordingName(const SnxActivityHit& hit) {
    const QString start = Utc(hit.startMs).toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss.zzz"));
    const QString where = hit.channel > 0 ? QStringLiteral("ch%1").arg(hit.channel)
                                          : QStringLiteral("%1Hz").arg(hit.frequency);
    return QStringLiteral("hit-%1-%2.wav").arg(start, where);
}

bool CnxActivityLog::Append(const SnxActivityHit& hit) {
    const QString path = PathFor(hit.startMs);
    if (!QDir().mkpath(folder_)) {
        const int reason = errno;
        error_ = QStringLiteral("The folder %1 cannot be made (%2).")
                     .arg(folder_, QString::fromStdString(std::generic_category().message(reason)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error_ = QStringLiteral("%1 cannot be opened (%2).").arg(path, file.errorString());
        return false;
    }
    QByteArray text;
    if (file.size() == 0) {
        text = QByteArray(kHeader) + '\n';
    }
    text += Row(hit).toUtf8() + '\n';
    if (file.write(text) != text.size() || !file.flush()) {
        error_ = QStringLiteral("%1 cannot be written (%2).").arg(path, file.errorString());
        return false;
    }
    file.close();
    error_.clear();
    return true;
}
