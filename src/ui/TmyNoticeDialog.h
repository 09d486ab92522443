#pragma once
// A small window that tells the operator one thing and offers one answer: its button hides the
// window and posts one message to a target, which decides what happens next.
#include <QDialog>

#include "core/TmyTypes.h"

class QPushButton;

class TmyNoticeDialog : public QDialog {
public:
    struct Answer {
        QString text;
        QString toolTip;
        HWND target;
        UINT message;
        WPARAM wParam;
    };

    TmyNoticeDialog(QWidget* owner, const QString& caption, const QString& text, Answer answer);

    QString Text() const { return text_; }
    QString ButtonText() const;
    void Press();  // what clicking the button does

private:
    QString text_;
    Answer answer_;
    QPushButton* button_;
};
