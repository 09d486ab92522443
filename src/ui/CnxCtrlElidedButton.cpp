#include "ui/CnxCtrlElidedButton.h"

#include <QEvent>
#include <QStyle>
#include <QStyleOptionButton>

CnxCtrlElidedButton::CnxCtrlElidedButton(QWidget* parent, int fewest)
    : QPushButton(parent), fewest_(fewest) {
    // A push button would not go below its text's width; this one shrinks down to its fewest.
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
}

void CnxCtrlElidedButton::SetFullText(const QString& text) {
    full_ = text;
    updateGeometry();
    Elide();
}

QSize CnxCtrlElidedButton::SizeFor(const QString& text) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = text;
    const QSize content(fontMetrics().horizontalAdvance(text), fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, content, this);
}

QSize CnxCtrlElidedButton::sizeHint() const {
    return SizeFor(full_);
}

QSize CnxCtrlElidedButton::minimumSizeHint() const {
    const QString fewest = full_.left(fewest_) + QChar(0x2026);
    return fewest.size() <= full_.size() ? SizeFor(fewest) : sizeHint();
}

void CnxCtrlElidedButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    Elide();
}

void CnxCtrlElidedButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateGeometry();
        Elide();
    }
}

void CnxCtrlElidedButton::Elide() {
    // What the frame and padding take is what the whole text's size holds beyond the text.
    const int frame = sizeHint().width() - fontMetrics().horizontalAdvance(full_);
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, width() - frame));
}
