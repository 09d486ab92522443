#pragma once
// Tells the operator a receiver went away and offers the way out: carry on with a simulated
// receiver in its place, or close the program when it was the only one.
#include <QDialog>

#include "core/TmyTypes.h"

class QPushButton;

class CnxK740RXDlgDisconnected : public QDialog {
public:
    CnxK740RXDlgDisconnected(QWidget* owner, int receiverNumber, bool offerDemo, HWND mainWindow,
                             WPARAM receiver);

    QString Text() const;
    QString ButtonText() const;
    void Press();  // what clicking the button does

private:
    HWND mainWindow_;
    WPARAM receiver_;
    bool offerDemo_;
    QString text_;
    QPushButton* button_;
};
