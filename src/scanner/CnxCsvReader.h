#pragma once
// Comma-separated records as spreadsheets write them: a field in double quotes may hold commas,
// line breaks and doubled quotes; a carriage return before a line feed is dropped; a last line
// without a line feed still counts. Bytes are read as UTF-8; a leading byte-order mark is skipped.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class CnxCsvReader {
public:
    // Fields after the first `keptFields` of a record are read past and dropped.
    CnxCsvReader(QByteArrayView text, int keptFields);

    // The next record's fields and the line it starts on; false at the end of the text.
    bool Next(QStringList* fields, int* line);

    // A field as a writer puts it: quoted when it holds a comma, a quote or a line break.
    static QString Quote(const QString& field);

private:
    QByteArrayView text_;
    int keptFields_;
    qsizetype at_ = 0;
    int line_ = 1;
};
