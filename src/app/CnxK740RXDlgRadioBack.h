#pragma once
// Tells the operator that the radio of a receiver that went on as a demo receiver is plugged in
// again, and offers to take it back. Closing the window keeps the demo receiver.
#include "ui/TmyNoticeDialog.h"

class CnxK740RXDlgRadioBack : public TmyNoticeDialog {
public:
    CnxK740RXDlgRadioBack(QWidget* owner, int receiverNumber, HWND mainWindow, WPARAM receiver);
};
