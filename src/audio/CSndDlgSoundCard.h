#pragma once
// The modal box that tells the operator a sound device failed, over the owner window, which is
// made active again once the box is closed.
#include <QDialog>

#include "core/TmyTypes.h"

class CSndDlgSoundCard : public QDialog {
public:
    CSndDlgSoundCard(QWidget* owner, const QString& caption, const QString& text);

    // Shows the box modally; `owner` is the window handle of a widget, or 0. The program's end
    // closes it, and once the program is ending no box comes up.
    static void Show(HWND owner, const char* caption, const char* text);
};
