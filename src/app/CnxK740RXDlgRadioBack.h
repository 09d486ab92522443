#pragma once
// Tells the operator that the radio of a receiver that went on as a demo receiver is plugged in
// again, and offers to take it back. Closing the window keeps the demo receiver.
#include <QDialog>

#include "core/TmyTypes.h"

class QPushButton;

class CnxK740RXDlgRadioBack : public QDialog {
public:
    CnxK740RXDlgRadioBack(QWidget* owner, int receiverNumber, HWND mainWindow, WPARAM receiver);

    QString Text() const { return text_; }
    QString ButtonText() const;
    void Press();  // what clicking the button does

private:
    HWND mainWindow_;
    WPARAM receiver_;
    QString text_;
    QPushButton* button_;
};
