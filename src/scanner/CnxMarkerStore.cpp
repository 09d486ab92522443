#include "scanner/CnxMarkerStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "scanner/K740RXScannerLog.h"
#include "settings/CnxUtf8.h"

namespace {
constexpr char kHeader[] = "# K740RX markers: serial, frequency (Hz), colour, comment\n";
enum Field { kSerial, kFrequency, kColour, kComment, kFieldCount };

QString Escape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
            case '\\':
                escaped += QLatin1String("\\\\");
                break;
            case '\t':
                escaped += QLatin1String("\\t");
                break;
            case '\n':
                escaped += QLatin1String("\\n");
                break;
            case '\r':
                escaped += QLatin1String("\\r");
                break;
            case '#':  // so that no line starts as a comment
                escaped += QLatin1String("\\#");
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

QString Unescape(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        plain += next == QLatin1Char('t')   ? QChar('\t')
                 : next == QLatin1Char('n') ? QChar('\n')
                 : next == QLatin1Char('r') ? QChar('\r')
                                            : next;
    }
    return plain;
}

// Why a line does not read, or nothing when it does.
const char* ReadLine(const QByteArrayView line, CnxMarkerStore::Entry* entry) {
    QByteArrayView fields[kFieldCount];
    int count = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype tab = line.indexOf('\t', start);
        const qsizetype stop = tab < 0 ? line.size() : tab;
        if (count < kFieldCount) {
            fields[count] = line.sliced(start, stop - start);
        }
        ++count;
        if (tab < 0) {
            break;
        }
        start = tab + 1;
    }
    if (count != kFieldCount) {
        return "wrong number of fields";
    }
    entry->serial = Unescape(CnxUtf8ToString(fields[kSerial]));
    if (entry->serial.isEmpty()) {
        return "no serial";
    }
    bool ok = false;
    entry->marker.frequency = fields[kFrequency].toLongLong(&ok);
    if (!ok || entry->marker.frequency < 0) {
        return "no frequency";
    }
    if (!SnxScopeMarker::ParseRgb(QString::fromLatin1(fields[kColour]), &entry->marker.rgb)) {
        return "no colour";
    }
    entry->marker.comment =
        SnxScopeMarker::CleanComment(Unescape(CnxUtf8ToString(fields[kComment])));
    return nullptr;
}
}  // namespace

CnxMarkerStore::CnxMarkerStore(const QString& folder)
    : folder_(folder), path_(QDir(folder).filePath(QLatin1String(kFileName))) {}

std::vector<CnxMarkerStore::Entry> CnxMarkerStore::Parse(QByteArrayView text,
                                                         const QString& source) {
    std::vector<Entry> entries;
    int number = 0;
    qsizetype at = text.startsWith("\xef\xbb\xbf") ? 3 : 0;  // an editor's byte-order mark
    while (at < text.size()) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0) {
            end = text.size();  // a last line without its line feed still counts
        }
        QByteArrayView line = text.sliced(at, end - at);
        at = end + 1;
        ++number;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (int(entries.size()) == kMaxEntries) {
            qCWarning(lcScanner) << source << "holds too many markers; the rest from line" << number
                                 << "are skipped";
            break;
        }
        Entry entry;
        if (const char* problem = ReadLine(line, &entry)) {
            qCWarning(lcScanner) << source << "line" << number << "skipped:" << problem;
            continue;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

QByteArray CnxMarkerStore::Write(const std::vector<Entry>& entries) {
    QByteArray text(kHeader);
    for (const Entry& e : entries) {
        text += (Escape(e.serial) + QLatin1Char('\t') + QString::number(e.marker.frequency) +
                 QLatin1Char('\t') + SnxScopeMarker::RgbText(e.marker.rgb) + QLatin1Char('\t') +
                 Escape(e.marker.comment) + QLatin1Char('\n'))
                    .toUtf8();
    }
    return text;
}

std::vector<CnxMarkerStore::Entry> CnxMarkerStore::ReadAll() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return Parse(file.readAll(), path_);
}

std::vector<SnxScopeMarker> CnxMarkerStore::Load(const QString& serial) const {
    std::vector<SnxScopeMarker> markers;
    int beyond = 0;
    for (const Entry& entry : ReadAll()) {
        if (entry.serial != serial) {
            continue;
        }
        if (int(markers.size()) < SnxScopeMarker::kMaxMarkers) {
            markers.push_back(entry.marker);
        } else {
            ++beyond;
        }
    }
    if (beyond > 0) {
        // Only a file from elsewhere holds more than a graph takes.
        qCWarning(lcScanner) << path_ << "holds" << beyond << "markers of" << serial << "beyond the"
                             << SnxScopeMarker::kMaxMarkers << "a graph takes";
    }
    return markers;
}

bool CnxMarkerStore::Save(const QString& serial, const std::vector<SnxScopeMarker>& markers) const {
    std::vector<Entry> entries = ReadAll();
    std::erase_if(entries, [&serial](const Entry& e) { return e.serial == serial; });
    for (const SnxScopeMarker& marker : markers) {
        entries.push_back({serial, marker});
    }
    if (!QDir().mkpath(folder_)) {
        return false;
    }
    QSaveFile file(path_);
    return file.open(QIODevice::WriteOnly) && file.write(Write(entries)) >= 0 && file.commit();
}
