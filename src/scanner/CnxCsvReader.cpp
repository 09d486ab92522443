#include "scanner/CnxCsvReader.h"

CnxCsvReader::CnxCsvReader(QByteArrayView text) : text_(text) {
    if (text_.startsWith("\xef\xbb\xbf")) {
        at_ = 3;
    }
}

bool CnxCsvReader::Next(QStringList* fields, int* line) {
    fields->clear();
    if (at_ >= text_.size()) {
        return false;
    }
    *line = line_;
    QByteArray field;
    bool quoted = false;
    while (at_ < text_.size()) {
        const char c = text_[at_++];
        if (quoted) {
            if (c == '"' && at_ < text_.size() && text_[at_] == '"') {
                field += '"';
                ++at_;
            } else if (c == '"') {
                quoted = false;
            } else {
                line_ += c == '\n' ? 1 : 0;
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields->append(QString::fromUtf8(field));
            field.clear();
        } else if (c == '\n') {
            ++line_;
            break;
        } else if (c != '\r' || (at_ < text_.size() && text_[at_] != '\n')) {
            field += c;
        }
    }
    fields->append(QString::fromUtf8(field));
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
