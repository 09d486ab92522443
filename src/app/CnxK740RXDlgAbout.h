#pragma once
// Product, version and the information text shipped beside the program.
#include <QDialog>

#include "core/TmyTypes.h"

class CnxK740RXDlgAbout : public QDialog {
public:
    CnxK740RXDlgAbout(QWidget* owner, HWND mainWindow);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AskToClose();
    HWND mainWindow_;
};
