#include "scanner/CnxMarkerCsv.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include "scanner/K740RXScannerLog.h"
#include "scanner/ScopeReadOut.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxCsvReader.h"

namespace {
enum Column { kFrequency, kChannel, kComment, kColour, kColumnCount };

// The band a graph can show: from the channel plan's lower edge to the top of the extended model.
constexpr int64_t kLowestMarker = CnxChannelPlan::kLowerLimit;
constexpr int64_t kHighestMarker = CnxChannelPlan::kExtendedUpperLimit;
constexpr int kMaxDigits = 10;

// Why the text is not a frequency a graph can place, or nothing when it is one.
QString ParseFrequency(const QString& text, int64_t* hertz) {
    const QString digits = text.trimmed();
    if (digits.isEmpty()) {
        return QStringLiteral("no frequency");
    }
    const bool whole =
        digits.size() <= kMaxDigits && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    if (!whole) {
        return QStringLiteral("frequency is not a whole number of Hz");
    }
    const int64_t value = digits.toLongLong();
    if (value < kLowestMarker || value > kHighestMarker) {
        return QStringLiteral("frequency outside %1–%2 MHz")
            .arg(kLowestMarker / 1000000)
            .arg(kHighestMarker / 1000000);
    }
    *hertz = value;
    return {};
}

bool IsHeader(const CnxCsvReader::Record& record) {
    return record.line == 1 && !record.fields.isEmpty() &&
           record.fields[kFrequency].startsWith(QLatin1String("Freq"));
}

bool IsBlank(const CnxCsvReader::Record& record) {
    return record.problem.isEmpty() && record.fields.size() == 1 &&
           record.fields[0].trimmed().isEmpty();
}

void Skipped(CnxMarkerCsv::Result* result, int line, const QString& reason) {
    ++result->skipped;
    if (int(result->firstSkips.size()) < CnxMarkerCsv::kListedSkips) {
        result->firstSkips.push_back({line, reason});
    }
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

CnxMarkerCsv::Result CnxMarkerCsv::Read(QIODevice& device, int room) {
    Result result;
    CnxCsvReader reader(device, kColumnCount, kMaxFileBytes);
    CnxCsvReader::Record record;
    while (reader.Next(&record)) {
        if (IsHeader(record) || IsBlank(record)) {
            continue;
        }
        if (!record.problem.isEmpty()) {
            Skipped(&result, record.line, record.problem);
            continue;
        }
        SnxScopeMarker marker;
        if (const QString problem = ParseFrequency(record.fields[kFrequency], &marker.frequency);
            !problem.isEmpty()) {
            Skipped(&result, record.line, problem);
            continue;
        }
        if (int(result.markers.size()) >= room) {
            ++result.overRoom;
            continue;
        }
        if (record.fields.size() > kComment) {
            marker.comment = SnxScopeMarker::CleanComment(record.fields[kComment]);
        }
        if (record.fields.size() > kColour) {
            // A colour that does not read leaves the default green.
            SnxScopeMarker::ParseRgb(record.fields[kColour], &marker.rgb);
        }
        result.markers.push_back(marker);
    }
    result.unreadLine = reader.GetUnreadLine();
    return result;
}

CnxMarkerCsv::Result CnxMarkerCsv::Parse(QByteArrayView text, int room) {
    QByteArray bytes = text.toByteArray();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return Read(buffer, room);
}

QString CnxMarkerCsv::Result::Summary() const {
    const int count = int(markers.size());
    QString text = count == 0   ? QStringLiteral("No markers were imported.")
                   : count == 1 ? QStringLiteral("1 marker was imported.")
                                : QStringLiteral("%1 markers were imported.").arg(count);
    if (skipped > 0) {
        text += skipped == 1 ? QStringLiteral("\n1 line was skipped:")
                             : QStringLiteral("\n%1 lines were skipped:").arg(skipped);
        for (const Skip& skip : firstSkips) {
            text += QStringLiteral("\n    line %1: %2").arg(skip.line).arg(skip.reason);
        }
        if (skipped > int(firstSkips.size())) {
            text += QStringLiteral("\n    and %1 more").arg(skipped - int(firstSkips.size()));
        }
    }
    if (overRoom > 0) {
        text +=
            QStringLiteral("\n%1 more %2 not imported: a graph holds at most %3 markers.")
                .arg(overRoom)
                .arg(overRoom == 1 ? QStringLiteral("marker was") : QStringLiteral("markers were"))
                .arg(SnxScopeMarker::kMaxMarkers);
    }
    if (unreadLine > 0) {
        text += QStringLiteral("\nThe file is larger than %1 KiB: lines from %2 on were not read.")
                    .arg(kMaxFileBytes / 1024)
                    .arg(unreadLine);
    }
    return text;
}

bool CnxMarkerCsv::Export(const QString& path, const std::vector<SnxScopeMarker>& markers) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Write(markers)) >= 0 && file.commit();
}

bool CnxMarkerCsv::Import(const QString& path, int room, Result* result) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    *result = Read(file, room);
    if (result->skipped > 0 || result->overRoom > 0 || result->unreadLine > 0) {
        qCInfo(lcScanner).noquote() << path << "imported in part:" << result->Summary();
    }
    return true;
}
