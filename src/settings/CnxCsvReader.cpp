#include "settings/CnxCsvReader.h"

#include <algorithm>
#include <vector>

#include "settings/CnxUtf8.h"

namespace {
constexpr char kByteOrderMark[] = "\xef\xbb\xbf";
}  // namespace

CnxCsvReader::CnxCsvReader(QIODevice& device, int keptFields, qint64 byteLimit)
    : device_(device), keptFields_(keptFields), bytesLeft_(byteLimit) {}

bool CnxCsvReader::ReadLine(Line* line) {
    if (unreadLine_ != 0 || device_.atEnd()) {
        return false;
    }
    const int number = lineNumber_ + 1;
    if (bytesLeft_ <= 0) {
        unreadLine_ = number;
        return false;
    }
    // Room for the longest line, its line feed and the terminating zero.
    char buffer[kMaxLineBytes + 2];
    const qint64 wanted = std::min<qint64>(kMaxLineBytes + 1, bytesLeft_);
    const qint64 count = device_.readLine(buffer, wanted + 1);
    if (count <= 0) {
        return false;
    }
    bytesLeft_ -= count;
    lineNumber_ = number;
    line->number = number;
    const bool complete = buffer[count - 1] == '\n';
    if (!complete && !device_.atEnd() && bytesLeft_ == 0) {
        unreadLine_ = number;  // cut by the limit: not read at all
        return false;
    }
    line->bytes = QByteArray(buffer, complete ? count - 1 : count);
    line->tooLong = line->bytes.size() > kMaxLineBytes;
    if (line->tooLong && !complete) {
        SkipRestOfLine();
    }
    if (number == 1 && line->bytes.startsWith(kByteOrderMark)) {
        line->bytes.remove(0, 3);
    }
    return true;
}

void CnxCsvReader::SkipRestOfLine() {
    char buffer[kMaxLineBytes + 1];
    while (bytesLeft_ > 0) {
        const qint64 count =
            device_.readLine(buffer, std::min<qint64>(kMaxLineBytes, bytesLeft_) + 1);
        if (count <= 0) {
            return;
        }
        bytesLeft_ -= count;
        if (buffer[count - 1] == '\n') {
            return;
        }
    }
    unreadLine_ = lineNumber_ + 1;
}

bool CnxCsvReader::TakeLine(Line* line) {
    if (pending_.empty()) {
        return ReadLine(line);
    }
    *line = std::move(pending_.front());
    pending_.pop_front();
    return true;
}

void CnxCsvReader::Keep(QStringList* fields, const QByteArray& field) const {
    if (fields->size() < keptFields_) {
        fields->append(CnxUtf8ToString(field));
    }
}

bool CnxCsvReader::Next(Record* record) {
    std::vector<Line> lines(1);
    if (!TakeLine(&lines[0])) {
        return false;
    }
    record->fields.clear();
    record->problem.clear();
    record->line = lines[0].number;
    if (lines[0].tooLong) {
        record->problem = QStringLiteral("line longer than %1 bytes").arg(kMaxLineBytes);
        return true;
    }
    QByteArray field;
    bool quoted = false;
    for (;;) {
        const QByteArray& bytes = lines.back().bytes;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (quoted) {
                if (c != '"') {
                    field += c;
                } else if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                    field += '"';  // a doubled quote stands for one
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == ',') {
                Keep(&record->fields, field);
                field.clear();
            } else if (c != '\r' || i + 1 < bytes.size()) {
                field += c;  // a carriage return on its own is kept
            }
        }
        if (!quoted) {
            break;
        }
        // The quoted field goes on in the next line, unless the quote is never closed.
        Line next;
        const bool more = int(lines.size()) < kMaxRecordLines && TakeLine(&next);
        if (!more || next.tooLong) {
            if (more) {
                lines.push_back(std::move(next));
            }
            // The lines after the first are records of their own.
            for (auto it = lines.rbegin(); it + 1 != lines.rend(); ++it) {
                pending_.push_front(std::move(*it));
            }
            record->fields.clear();
            record->problem = QStringLiteral("quote not closed");
            return true;
        }
        field += '\n';
        lines.push_back(std::move(next));
    }
    Keep(&record->fields, field);
    return true;
}

QString CnxCsvReader::Quote(const QString& field) {
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r'))) {
        return field;
    }
    QString quoted = field;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
