#include "scanner/CnxSweepCsv.h"

#include <QSaveFile>
#include <optional>

#include "scanner/ScopeView.h"

namespace {
QString Dbm(const std::optional<double>& level) {
    return level ? QString::number(*level, 'f', 1) : QString();
}
}  // namespace

QByteArray CnxSweepCsv::Write(const ScopeView& view) {
    QString text = QLatin1String(kHeader) + QLatin1Char('\n');
    for (int i = 0; i < view.GetPointCount(); ++i) {
        const int64_t hertz = view.GetPointFrequency(i);
        const int channel = ScopeReadOut::ChannelOf(hertz);
        text += QString::number(hertz) + QLatin1Char(',') +
                (channel < 0 ? QString() : QString::number(channel)) + QLatin1Char(',') +
                Dbm(view.GetLevel(i)) + QLatin1Char(',') + Dbm(view.GetMin(i)) + QLatin1Char(',') +
                Dbm(view.GetMax(i)) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool CnxSweepCsv::Export(const QString& path, const ScopeView& view) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Write(view)) >= 0 && file.commit();
}
