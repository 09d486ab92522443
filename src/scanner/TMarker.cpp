#include "scanner/TMarker.h"

#include "scanner/ScopeReadOut.h"
#include "scanner/ScopeView.h"

TMarker::TMarker(ScopeView* owner) : TScopeObject(owner) {
    Layout();
}

void TMarker::Redraw() {
    if (GetOwner() != nullptr) {
        GetOwner()->ScheduleRepaint();
    }
}

void TMarker::Layout() {
    labelText_ = LabelText(channel_, comment_);
    if (GetOwner() != nullptr) {
        // Room of a third of the font height on every side of the text.
        const ScopeView::TextExtent extent = GetOwner()->MeasureLabel(labelText_);
        const int margin = extent.fontHeight / 3;
        labelSize_ = QSize(extent.width + 2 * margin, extent.height + 2 * margin);
    }
}

void TMarker::SetFrequency(int64_t hertz) {
    frequency_ = hertz;
    channel_ = ScopeReadOut::ChannelOf(hertz);
}

void TMarker::SetComment(const QString& comment) {
    comment_ = SnxScopeMarker::CleanComment(comment);
    Layout();
}

QString TMarker::LabelText(int channel, const QString& comment) {
    const QString text = comment.isEmpty() ? QStringLiteral("Ch.%1 ").arg(channel)
                                           : QStringLiteral("Ch.%1, %2").arg(channel).arg(comment);
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= kMaxLabelBytes) {
        return text;
    }
    // Cut on a character boundary: continuation bytes are 10xxxxxx.
    qsizetype cut = kMaxLabelBytes;
    while (cut > 0 && (uchar(utf8[cut]) & 0xc0) == 0x80) {
        --cut;
    }
    return QString::fromUtf8(utf8.left(cut));
}

void TMarker::SetPlacement(int lineX, const QRect& label) {
    placed_ = true;
    lineX_ = lineX;
    labelRect_ = label;
}

void TMarker::CopyValuesFrom(const TMarker& other) {
    SetFrequency(other.frequency_);
    rgb_ = other.rgb_;
    SetComment(other.comment_);
}
