#pragma once
// The application object of widget tests, on the offscreen platform unless a display is chosen,
// and the mouse as a user moves it.
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "TestSupport.h"
#include "ui/TmyColorScheme.h"

inline QApplication& EnsureQtApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "k740rx-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app =
        qobject_cast<QApplication*>(QCoreApplication::instance()) ?: new QApplication(argc, argv);
    return *app;
}

// A left-button event: held from the press until the release. Returns whether it was taken.
inline bool SendMouse(QWidget& widget, QEvent::Type type, QPointF at, quint64 timeMs = 0) {
    const bool move = type == QEvent::MouseMove;
    QMouseEvent event(type, at, widget.mapToGlobal(at), move ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    event.setTimestamp(timeMs);
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

// Press, move and release; a click where `to` is `from`.
inline void SendDrag(QWidget& widget, QPointF from, QPointF to) {
    SendMouse(widget, QEvent::MouseButtonPress, from);
    if (to != from) {
        SendMouse(widget, QEvent::MouseMove, to);
    }
    SendMouse(widget, QEvent::MouseButtonRelease, to);
}

// A wheel turned over the widget's middle; 120 is one notch.
inline bool SendWheel(QWidget& widget, int angleDelta,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

// A key pressed and let go over the widget; returns whether the press was taken.
inline bool SendKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&widget, &release);
    return press.isAccepted();
}

// The push button among the widget's children that shows this text; null when there is none.
inline QPushButton* FindButton(const QWidget& parent, const QString& text) {
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

// Answers the next modal window of type T as soon as it is open (the answer must close it).
template <typename T>
void AnswerNextModal(std::function<void(T*)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(modal);
        } else {
            AnswerNextModal<T>(answer);  // not open yet
        }
    });
}

// The program's colour scheme on the whole application while it lives, as the program applies it.
class SchemeApplied {
public:
    SchemeApplied()
        : palette_(QApplication::palette()),
          font_(QApplication::font()),
          sheet_(qApp->styleSheet()) {
        TmyColorScheme::Default().ApplyTo(*qApp);
    }
    ~SchemeApplied() {
        qApp->setStyleSheet(sheet_);
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }
    SchemeApplied(const SchemeApplied&) = delete;
    SchemeApplied& operator=(const SchemeApplied&) = delete;

private:
    QPalette palette_;
    QFont font_;
    QString sheet_;
};

// The brightest pixel (its largest colour component) in a part of a picture: on the dark scheme,
// the colour its text is drawn in.
inline int Brightest(const QImage& image, const QRect& part) {
    int brightest = 0;
    const QRect inside = part.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            brightest = std::max(brightest, image.pixelColor(x, y).value());
        }
    }
    return brightest;
}
