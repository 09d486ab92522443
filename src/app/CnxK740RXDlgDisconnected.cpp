#include "app/CnxK740RXDlgDisconnected.h"

#include <algorithm>

#include "app/K740RXAppMessages.h"

namespace {

constexpr int kGap = 8;
constexpr int kTopMargin = 40;

TmyNoticeDialog::Answer AnswerFor(bool offerDemo, HWND mainWindow, WPARAM receiver) {
    if (offerDemo) {
        return {QStringLiteral("Demo"),
                QStringLiteral("Carry on with a simulated receiver in its place"), mainWindow,
                WM_MAIN_SWITCH_TO_DEMO, receiver};
    }
    return {QStringLiteral("Close Application"), QStringLiteral("Close the program"), mainWindow,
            WM_CLOSE, 0};
}

}  // namespace

CnxK740RXDlgDisconnected::CnxK740RXDlgDisconnected(QWidget* owner, int receiverNumber,
                                                   bool offerDemo, HWND mainWindow, WPARAM receiver,
                                                   int place)
    : TmyNoticeDialog(owner, QStringLiteral(" Radio disconnected"),
                      QStringLiteral("Receiver %1 no longer connected\nWaiting for reconnect")
                          .arg(receiverNumber),
                      AnswerFor(offerDemo, mainWindow, receiver)),
      place_(place) {
    if (owner != nullptr) {
        const QRect area = owner->geometry();
        const int rows = std::max(1, (area.height() - kTopMargin) / (height() + kGap));
        const int column = place / rows;
        const int row = place % rows;
        move(area.center().x() - width() / 2 + column * (width() + kGap),
             area.top() + kTopMargin + row * (height() + kGap));
    }
}
