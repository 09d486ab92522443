#include "ui/TmyColorScheme.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor TmyColorScheme::FromColorRef(unsigned bgr) {
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

QFont TmyColorScheme::uiFont() const {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

QFont TmyColorScheme::displayFont(int pixelSize) const {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

static QPalette MakePalette(const TmyColorScheme& s) {
    QPalette p;
    p.setColor(QPalette::Window, s.window);
    p.setColor(QPalette::WindowText, s.text);
    p.setColor(QPalette::Base, s.plot);
    p.setColor(QPalette::AlternateBase, s.panel);
    p.setColor(QPalette::Text, s.text);
    p.setColor(QPalette::Button, s.buttonFace);
    p.setColor(QPalette::ButtonText, s.text);
    p.setColor(QPalette::Highlight, s.focus);
    p.setColor(QPalette::HighlightedText, s.window);
    p.setColor(QPalette::ToolTipBase, s.panel);
    p.setColor(QPalette::ToolTipText, s.text);
    p.setColor(QPalette::PlaceholderText, s.textSecondary);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, s.textDisabled());
    }
    return p;
}

QString TmyColorScheme::StyleSheet() const {
    const auto c = [](const QColor& color) { return color.name(); };
    // %1 window, %2 text, %3 panel, %4 border, %5 secondary text, %6 button face, %7 focus,
    // %8 display, %9 plot; then %1 dimmed display, %2 disabled text.
    return QStringLiteral(
               "QWidget { background: %1; color: %2; selection-background-color: %7;"
               " selection-color: %1; }"
               "QWidget:disabled { color: %11; }"
               "QFrame#panel { background: %3; border: 1px solid %4; border-radius: 4px; }"
               "QLabel { background: transparent; }"
               "QLabel[secondary=\"true\"] { color: %5; }"
               "QLabel:disabled, QLabel[secondary=\"true\"]:disabled { color: %11; }"
               "QPushButton { background: %6; color: %2; border: 1px solid %4; border-radius: 3px;"
               " padding: 4px 8px; }"
               "QPushButton:hover { border-color: %7; }"
               "QPushButton:focus { border: 1px solid %7; }"
               "QPushButton:checked { background: %8; color: #000000; }"
               "QPushButton:disabled { color: %5; background: %3; }"
               "QPushButton:checked:disabled { color: %3; background: %10; }"
               "QToolTip { background: %3; color: %2; border: 1px solid %4; }"
               "QProgressBar { background: %9; border: 1px solid %4; border-radius: 3px;"
               " text-align: center; color: %2; }"
               "QProgressBar::chunk { background: %8; }"
               "QLineEdit { background: %9; border: 1px solid %7; color: %8; }"
               "QLineEdit:disabled { border-color: %4; color: %11; }"
               "QSlider::groove:horizontal { height: 4px; background: %4; }"
               "QSlider::handle:horizontal { width: 12px; margin: -5px 0; border-radius: 6px;"
               " background: %8; }"
               "QSlider::handle:horizontal:disabled { background: %11; }"
               "QSlider:focus { border: 1px dotted %7; }"
               "QMenu { background: %3; color: %2; border: 1px solid %4; padding: 3px 0; }"
               "QMenu::item { background: transparent; color: %2; padding: 4px 20px 4px 24px; }"
               "QMenu::item:selected { background: %7; color: %1; }"
               "QMenu::item:disabled { background: transparent; color: %11; }"
               "QMenu::separator { height: 1px; background: %4; margin: 3px 6px; }")
        .arg(c(window), c(text), c(panel), c(border), c(textSecondary), c(buttonFace), c(focus),
             c(display), c(plot))
        .arg(c(display.darker(220)), c(textDisabled()));
}

void TmyColorScheme::ApplyTo(QApplication& app) const {
    app.setPalette(MakePalette(*this));
    app.setFont(uiFont());
    app.setStyleSheet(StyleSheet());
}

void TmyColorScheme::ApplyTo(QWidget& widget) const {
    widget.setPalette(MakePalette(*this));
    widget.setFont(uiFont());
    widget.setAutoFillBackground(true);
}

const TmyColorScheme& TmyColorScheme::Default() {
    static const TmyColorScheme scheme;
    return scheme;
}
