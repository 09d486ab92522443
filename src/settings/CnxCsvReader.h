#pragma once
// Comma-separated records as spreadsheets write them, read line by line from a device: a field in
// double quotes may hold commas, doubled quotes and line breaks; a carriage return before a line
// feed is dropped; a last line without a line feed still counts. Bytes are read as UTF-8; a leading
// byte-order mark is skipped.
// A broken file cannot take the reader far: a quoted field that is not closed within a few lines
// makes its first line a bad record and reading goes on with the next line; an overlong line is a
// bad record of its own; and nothing beyond a byte limit is read.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <deque>

class CnxCsvReader {
public:
    // A quoted field may run over this many lines of a record.
    static constexpr int kMaxRecordLines = 16;
    static constexpr qsizetype kMaxLineBytes = 4096;

    struct Record {
        QStringList fields;
        int line = 0;     // where the record starts, from 1
        QString problem;  // why the record cannot be read; empty when it can
    };

    // Fields after the first `keptFields` of a record are read past and dropped. The device stays
    // the caller's; at most `byteLimit` bytes of it are read.
    CnxCsvReader(QIODevice& device, int keptFields, qint64 byteLimit);

    // The next record; false at the end of the text or at the byte limit.
    bool Next(Record* record);
    // Reading stopped at the byte limit before the end of the text: from this line on nothing was
    // read (0 when the whole text was read).
    int GetUnreadLine() const { return unreadLine_; }

    // A field as a writer puts it: quoted when it holds a comma, a quote or a line break.
    static QString Quote(const QString& field);

private:
    struct Line {
        QByteArray bytes;  // without its line feed
        int number = 0;
        bool tooLong = false;
    };
    bool TakeLine(Line* line);
    bool ReadLine(Line* line);
    void SkipRestOfLine();
    void Keep(QStringList* fields, const QByteArray& field) const;

    QIODevice& device_;
    int keptFields_;
    qint64 bytesLeft_;
    int lineNumber_ = 0;
    int unreadLine_ = 0;
    std::deque<Line> pending_;  // lines read ahead for a quoted field that was not closed
};
