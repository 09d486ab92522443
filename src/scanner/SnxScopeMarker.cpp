#include "scanner/SnxScopeMarker.h"

QString SnxScopeMarker::CleanComment(const QString& comment) {
    QString clean = comment.left(kMaxCommentLength);
    for (QChar& c : clean) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    // A cut between the halves of a surrogate pair would leave half a character.
    if (!clean.isEmpty() && clean.back().isHighSurrogate()) {
        clean.chop(1);
    }
    return clean;
}

QString SnxScopeMarker::RgbText(uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xffffffu, 6, 16, QLatin1Char('0'));
}

bool SnxScopeMarker::ParseRgb(const QString& text, uint32_t* rgb) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() != 7 || trimmed[0] != QLatin1Char('#')) {
        return false;
    }
    uint32_t value = 0;
    for (QChar c : trimmed.mid(1)) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (digit < 0) {
            return false;
        }
        value = value << 4 | uint32_t(digit);
    }
    *rgb = value;
    return true;
}
