#include "tuning/CnxCtrlFrequency.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "tuning/CnxMainWindowKeys.h"
#include "ui/TmyColorScheme.h"

namespace {

constexpr int kCaptionHeight = 16;
constexpr int kPadding = 8;
constexpr int kPreferredValuePixels = 30;
constexpr int kMinimumValuePixels = 14;
constexpr double kUnitScale = 0.5;  // unit label size relative to the digits
// Room for the longest read-out ("2147483647" in Hz or "225000.000" in kHz) plus " kHz".
constexpr int kValueColumns = 10;
constexpr int kUnitColumns = 4;

const TmyColorScheme& Scheme() {
    return TmyColorScheme::Default();
}

// Width of one digit cell of the display font, per pixel of font size.
double ColumnWidthPerPixel() {
    static const double ratio =
        QFontMetricsF(Scheme().displayFont(100)).horizontalAdvance(QLatin1Char('0')) / 100.0;
    return ratio;
}

int ContentWidthFor(int valuePixels) {
    const double columns = kValueColumns + kUnitColumns * kUnitScale;
    return static_cast<int>(columns * ColumnWidthPerPixel() * valuePixels) + 2 * kPadding;
}

}  // namespace

CnxCtrlFrequency::CnxCtrlFrequency(QWidget* parent)
    : QWidget(parent), caption_(QStringLiteral("Freq")) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setToolTip(
        QString::fromUtf8("Frequency — click or type digits to enter; k/m/h choose the unit"));
    setAccessibleName(QStringLiteral("Frequency"));
    model_.SetChangeListener([this] { update(); });
    refusals_ = model_.OnRefused.Subscribe([this](void*, int32_t asked) { Refused(asked); });
}

void CnxCtrlFrequency::Refused(int32_t asked) {
    // Said at once, beside the field: a beep, and why the shown value stays.
    QApplication::beep();
    refusalNote_ = QStringLiteral("%1 MHz is below %2 MHz, the lowest this receiver tunes.")
                       .arg(asked / 1e6, 0, 'f', 3)
                       .arg(model_.LowerLimit() / 1e6, 0, 'f', 3);
    QToolTip::showText(mapToGlobal(QPoint(0, height())), refusalNote_, this);
}

bool CnxCtrlFrequency::OpenEditWith(QChar c) {
    if (!isEnabled()) {
        return false;
    }
    setFocus(Qt::OtherFocusReason);
    if (!model_.IsEditing()) {
        model_.OpenEdit();
    }
    model_.TypeChar(c.toLatin1());
    return true;
}

void CnxCtrlFrequency::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

QSize CnxCtrlFrequency::sizeHint() const {
    return {ContentWidthFor(kPreferredValuePixels), kPreferredValuePixels * 2 + kCaptionHeight};
}

QSize CnxCtrlFrequency::minimumSizeHint() const {
    return {ContentWidthFor(kMinimumValuePixels), kMinimumValuePixels * 2 + kCaptionHeight};
}

QRect CnxCtrlFrequency::DisplayRect() const {
    return rect().adjusted(1, 1, -1, -kCaptionHeight - 2);
}

int CnxCtrlFrequency::ValuePixelSize() const {
    // The digits grow with the control but always leave room for the longest read-out.
    const QRect display = DisplayRect();
    const double columns = kValueColumns + kUnitColumns * kUnitScale;
    const int byWidth =
        static_cast<int>((display.width() - 2 * kPadding) / (columns * ColumnWidthPerPixel()));
    const int byHeight = display.height() * 3 / 5;
    return std::max(kMinimumValuePixels, std::min(byWidth, byHeight));
}

void CnxCtrlFrequency::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintDisplay(painter);

    painter.setFont(Scheme().uiFont());
    painter.setPen(Scheme().textSecondary);
    const QRect captionArea(kPadding, height() - kCaptionHeight, width() - kPadding,
                            kCaptionHeight);
    painter.drawText(captionArea, Qt::AlignLeft | Qt::AlignVCenter, caption_);
}

void CnxCtrlFrequency::PaintDisplay(QPainter& painter) const {
    const TmyColorScheme& scheme = Scheme();
    const QRectF box = QRectF(DisplayRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool framed = hasFocus() || model_.IsEditing();
    painter.setPen(QPen(framed ? scheme.focus : scheme.border, model_.IsEditing() ? 2.0 : 1.0));
    painter.setBrush(scheme.plot);
    painter.drawRoundedRect(box, 4, 4);

    const int valuePixels = ValuePixelSize();
    const QFont unitFont =
        scheme.displayFont(std::max(8, static_cast<int>(valuePixels * kUnitScale)));
    const QString unitText = QString::fromStdString(model_.UnitText());
    const int unitWidth = static_cast<int>(
        QFontMetricsF(unitFont).horizontalAdvance(QString(kUnitColumns, QLatin1Char('0'))));
    const QRect inner = DisplayRect().adjusted(kPadding, 0, -kPadding, 0);
    const QRect unitArea(inner.right() - unitWidth, inner.top(), unitWidth, inner.height());
    const QRect valueArea(inner.left(), inner.top(), inner.width() - unitWidth, inner.height());

    const QColor ink = isEnabled() ? scheme.display : scheme.textSecondary.darker(140);
    painter.setFont(unitFont);
    painter.setPen(isEnabled() ? scheme.display.darker(115) : ink);
    // Baselines of digits and unit line up, so the unit reads as part of the number.
    const QFont valueFont = scheme.displayFont(valuePixels);
    const int baseline = valueArea.center().y() + QFontMetrics(valueFont).capHeight() / 2;
    painter.drawText(QPoint(unitArea.left(), baseline), unitText);

    painter.setFont(valueFont);
    if (model_.IsEditing()) {
        PaintEditText(painter, valueArea);
        return;
    }
    painter.setPen(ink);
    painter.drawText(valueArea, Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(model_.ValueText()));
}

void CnxCtrlFrequency::PaintEditText(QPainter& painter, const QRect& area) const {
    const TmyColorScheme& scheme = Scheme();
    const QString text = QString::fromStdString(model_.EditText());
    const QFontMetrics metrics(painter.font());
    const int caretWidth = 2;
    const int textWidth = metrics.horizontalAdvance(text);
    const QRect textRect(area.right() - caretWidth - textWidth,
                         area.center().y() - metrics.height() / 2, textWidth, metrics.height());
    if (model_.IsEditTextSelected()) {
        painter.fillRect(textRect, scheme.focus);
        painter.setPen(scheme.plot);
    } else {
        painter.fillRect(QRect(textRect.right() + 1, textRect.top(), caretWidth, textRect.height()),
                         scheme.display);
        painter.setPen(scheme.display);
    }
    painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, text);
}

void CnxCtrlFrequency::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !DisplayRect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (!model_.IsEditing()) {
        model_.OpenEdit();
    }
    event->accept();
}

void CnxCtrlFrequency::keyPressEvent(QKeyEvent* event) {
    if (model_.IsEditing()) {
        if (HandleEditKey(*event)) {
            event->accept();
        } else {
            event->ignore();  // shortcuts and navigation keys go on to the main window
        }
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        model_.OpenEdit();
        event->accept();
        return;
    }
    const auto command =
        CnxMainWindowKeys::Translate(event->key(), event->modifiers(), event->text());
    if (command.action == CnxMainWindowKeys::Action::OpenEntry) {
        OpenEditWith(QLatin1Char(command.character));
        event->accept();
        return;
    }
    event->ignore();
}

bool CnxCtrlFrequency::HandleEditKey(const QKeyEvent& event) {
    if (event.modifiers().testFlag(Qt::ControlModifier)) {
        return false;
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            model_.Enter();
            return true;
        case Qt::Key_Escape:
            model_.Escape();
            return true;
        case Qt::Key_Backspace:
            model_.Backspace();
            return true;
        default:
            break;
    }
    const QString text = event.text();
    if (text.size() != 1 || !text.front().isPrint()) {
        return false;
    }
    const auto command = CnxMainWindowKeys::Translate(event.key(), event.modifiers(), text);
    const bool decimal =
        command.action == CnxMainWindowKeys::Action::OpenEntry && command.character == '.';
    // Characters outside Latin-1 become 0, which the model swallows like any other stray key.
    model_.TypeChar(decimal ? '.' : text.front().toLatin1());
    return true;
}

void CnxCtrlFrequency::focusOutEvent(QFocusEvent* event) {
    // Leaving the field abandons the typed text, as Escape does; a popup (tooltip, menu) does not.
    if (event->reason() != Qt::PopupFocusReason) {
        model_.Escape();
    }
    QWidget::focusOutEvent(event);
}

void CnxCtrlFrequency::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        model_.Escape();
    }
    QWidget::changeEvent(event);
}
