#include "app/CnxK740RXDlgRadioBack.h"

#include "app/K740RXAppMessages.h"

CnxK740RXDlgRadioBack::CnxK740RXDlgRadioBack(QWidget* owner, int receiverNumber, HWND mainWindow,
                                             WPARAM receiver)
    : TmyNoticeDialog(
          owner, QStringLiteral(" Radio connected"),
          QStringLiteral("The radio of receiver %1 is connected again").arg(receiverNumber),
          {QStringLiteral("Use Radio"),
           QStringLiteral("Put the radio back in place of the simulated receiver"), mainWindow,
           WM_MAIN_TAKE_BACK_RADIO, receiver}) {
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}
