#pragma once
// Bytes read from a file as UTF-8 text. A byte-order mark is kept as the character it is (the
// readers skip the one a file may start with themselves), so a text reads back the same after it
// has been written.
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

inline QString CnxUtf8ToString(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}
