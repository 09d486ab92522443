#include "scanner/CnxMarkerCsv.h"

#include <QFile>
#include <QSaveFile>

#include "scanner/CnxCsvReader.h"
#include "scanner/K740RXScannerLog.h"
#include "scanner/ScopeReadOut.h"

namespace {
enum Column { kFrequency, kChannel, kComment, kColour, kColumnCount };

bool ParseFrequency(const QString& text, int64_t* hertz) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (ok && value >= 0) {
        *hertz = value;
    }
    return ok && value >= 0;
}
}  // namespace

QByteArray CnxMarkerCsv::Write(const std::vector<SnxScopeMarker>& markers) {
    QString text = QLatin1String(kHeader) + QLatin1Char('\n');
    for (const SnxScopeMarker& marker : markers) {
        const int channel = ScopeReadOut::ChannelOf(marker.frequency);
        text += QString::number(marker.frequency) + QLatin1Char(',') +
                (channel < 0 ? QString() : QString::number(channel)) + QLatin1Char(',') +
                CnxCsvReader::Quote(marker.comment) + QLatin1Char(',') +
                SnxScopeMarker::RgbText(marker.rgb) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

std::vector<SnxScopeMarker> CnxMarkerCsv::Parse(QByteArrayView text, const QString& source) {
    std::vector<SnxScopeMarker> markers;
    CnxCsvReader reader(text, kColumnCount);
    QStringList fields;
    int line = 0;
    while (reader.Next(&fields, &line)) {
        SnxScopeMarker marker;
        if (!ParseFrequency(fields[kFrequency], &marker.frequency)) {
            // The header, a blank line, or a line that says nothing usable.
            const bool header = line == 1 && fields[kFrequency].startsWith(QLatin1String("Freq"));
            const bool blank = fields.size() == 1 && fields[0].trimmed().isEmpty();
            if (!header && !blank) {
                qCWarning(lcScanner) << source << "line" << line << "skipped: no frequency";
            }
            continue;
        }
        if (int(markers.size()) == SnxScopeMarker::kMaxMarkers) {
            qCWarning(lcScanner) << source << "holds more than" << SnxScopeMarker::kMaxMarkers
                                 << "markers; the rest from line" << line << "are skipped";
            break;
        }
        if (fields.size() > kComment) {
            marker.comment = SnxScopeMarker::CleanComment(fields[kComment]);
        }
        const bool colourGiven = fields.size() > kColour && !fields[kColour].trimmed().isEmpty();
        if (colourGiven && !SnxScopeMarker::ParseRgb(fields[kColour], &marker.rgb)) {
            qCWarning(lcScanner) << source << "line" << line << "colour unreadable, green used";
        }
        markers.push_back(marker);
    }
    return markers;
}

bool CnxMarkerCsv::Export(const QString& path, const std::vector<SnxScopeMarker>& markers) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Write(markers)) >= 0 && file.commit();
}

bool CnxMarkerCsv::Import(const QString& path, std::vector<SnxScopeMarker>* markers) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    *markers = Parse(file.readAll(), path);
    return true;
}
