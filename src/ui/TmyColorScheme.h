#pragma once
// The program's one colour scheme: a dark instrument look for long watches in a dim room. Every
// window and control takes its colours and fonts from here, never from literals of its own.
#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QWidget;

struct TmyColorScheme {
    QColor window{0x14, 0x18, 0x1d};  // window background
    QColor panel{0x1c, 0x23, 0x2b};   // group panels, one step lighter
    QColor border{0x2b, 0x35, 0x40};  // hairlines
    QColor text{0xd8, 0xde, 0xe6};    // primary text
    QColor textSecondary{0x8a, 0x96, 0xa3};
    QColor display{0xff, 0xb0, 0x00};   // tuned frequency, channel number (amber)
    QColor plot{0x0b, 0x0e, 0x11};      // bar graph and spectrum background
    QColor grid{0x1f, 0x27, 0x30};      // faint plot grid
    QColor level{0x3d, 0xdc, 0x84};     // level bars
    QColor levelMin{0x3f, 0x8f, 0xd8};  // cooler marks for minima and maxima
    QColor levelMax{0x9a, 0xc8, 0xff};
    QColor marker{0x00, 0xff, 0x00};  // markers on the bar graph
    QColor alarm{0xff, 0x40, 0x40};
    QColor lampOn{0x3d, 0xdc, 0x84};
    QColor lampOff{0x3a, 0x44, 0x4f};
    QColor buttonFace{0x25, 0x2e, 0x38};
    QColor buttonSelectedFace{0xff, 0xb0,
                              0x00};  // lit face under the selected receiver's black text
    QColor focus{0x5a, 0xa9, 0xff};

    // Receiver button text colours, which operators know by heart (platform values 0x00BBGGRR).
    static constexpr unsigned kReceiverTextAlarm = 255;
    static constexpr unsigned kReceiverTextSelected = 0;
    static constexpr unsigned kReceiverTextNormal = 9803157;
    static QColor FromColorRef(unsigned bgr);

    // Text of controls that do not apply now: dimmer than secondary text.
    QColor textDisabled() const { return textSecondary.darker(140); }

    QFont uiFont() const;                    // labels, buttons
    QFont displayFont(int pixelSize) const;  // monospaced read-outs (DejaVu Sans Mono)

    // Style for the whole application (palette and style sheet), so dialogs match the main window.
    // The style sheet keeps the disabled and highlighted looks: disabled controls and menu items
    // are dimmed, and the menu item under the pointer or the keyboard is lit.
    void ApplyTo(QApplication& app) const;
    void ApplyTo(QWidget& widget) const;
    QString StyleSheet() const;

    static const TmyColorScheme& Default();
};
