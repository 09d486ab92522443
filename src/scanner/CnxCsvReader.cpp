#include "scanner/CnxCsvReader.h"

#include "scanner/CnxUtf8.h"

CnxCsvReader::CnxCsvReader(QByteArrayView text, int keptFields)
    : text_(text), keptFields_(keptFields) {
    if (text_.startsWith("\xef\xbb\xbf")) {
        at_ = 3;
    }
}

bool CnxCsvReader::Next(QStringList* fields, int* line) {
    fields->clear();
    const char* p = text_.data() + at_;
    const char* const end = text_.data() + text_.size();
    if (p >= end) {
        return false;
    }
    *line = line_;
    QByteArray field;
    bool quoted = false;
    while (p < end) {
        // Take the run of plain characters at once, then the one that ends it.
        const char* run = p;
        if (quoted) {
            for (; p < end && *p != '"'; ++p) {
                line_ += *p == '\n' ? 1 : 0;
            }
        } else {
            while (p < end && *p != '"' && *p != ',' && *p != '\n' && *p != '\r') {
                ++p;
            }
        }
        field.append(run, p - run);
        if (p == end) {
            break;
        }
        const char c = *p++;
        if (quoted) {
            if (p < end && *p == '"') {
                field += '"';  // a doubled quote stands for one
                ++p;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            if (fields->size() < keptFields_) {
                fields->append(CnxUtf8ToString(field));
            }
            field.clear();
        } else if (c == '\n') {
            ++line_;
            break;
        } else if (p < end && *p != '\n') {
            field += c;  // a carriage return on its own is kept
        }
    }
    at_ = p - text_.data();
    if (fields->size() < keptFields_) {
        fields->append(CnxUtf8ToString(field));
    }
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
