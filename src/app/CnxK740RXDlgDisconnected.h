#pragma once
// Tells the operator a receiver went away and offers the way out: carry on with a simulated
// receiver in its place, or close the program when it was the only one. Several lost receivers
// each get a window of their own, each at its own place so that none hides another.
#include "ui/TmyNoticeDialog.h"

class CnxK740RXDlgDisconnected : public TmyNoticeDialog {
public:
    // Place 0 is the first free spot below the top of the owner; further places follow in a
    // column down the owner, then in the next column.
    CnxK740RXDlgDisconnected(QWidget* owner, int receiverNumber, bool offerDemo, HWND mainWindow,
                             WPARAM receiver, int place = 0);

    int Place() const { return place_; }

private:
    int place_;
};
