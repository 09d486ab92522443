#include "app/CnxK740RXDlgDisconnected.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/K740RXAppMessages.h"
#include "core/TmyComponent.h"

namespace {
constexpr int kGap = 8;
constexpr int kTopMargin = 40;
}  // namespace

CnxK740RXDlgDisconnected::CnxK740RXDlgDisconnected(QWidget* owner, int receiverNumber,
                                                   bool offerDemo, HWND mainWindow, WPARAM receiver,
                                                   int place)
    : QDialog(owner),
      mainWindow_(mainWindow),
      receiver_(receiver),
      offerDemo_(offerDemo),
      place_(place) {
    setWindowTitle(QStringLiteral(" Radio disconnected"));
    setModal(false);
    text_ = QStringLiteral("Receiver %1 no longer connected\nWaiting for reconnect")
                .arg(receiverNumber);
    auto* label = new QLabel(text_, this);
    label->setAlignment(Qt::AlignCenter);
    button_ = new QPushButton(
        offerDemo ? QStringLiteral("Demo") : QStringLiteral("Close Application"), this);
    button_->setToolTip(offerDemo
                            ? QStringLiteral("Carry on with a simulated receiver in its place")
                            : QStringLiteral("Close the program"));
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &CnxK740RXDlgDisconnected::Press);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(label);
    layout->addWidget(button_, 0, Qt::AlignCenter);
    adjustSize();
    if (owner != nullptr) {
        const QRect area = owner->geometry();
        const int rows = std::max(1, (area.height() - kTopMargin) / (height() + kGap));
        const int column = place / rows;
        const int row = place % rows;
        move(area.center().x() - width() / 2 + column * (width() + kGap),
             area.top() + kTopMargin + row * (height() + kGap));
    }
}

QString CnxK740RXDlgDisconnected::Text() const {
    return text_;
}

QString CnxK740RXDlgDisconnected::ButtonText() const {
    return button_->text();
}

void CnxK740RXDlgDisconnected::Press() {
    hide();
    if (offerDemo_) {
        PostMessage(mainWindow_, WM_MAIN_SWITCH_TO_DEMO, receiver_, 0);
    } else {
        PostMessage(mainWindow_, WM_CLOSE, 0, 0);
    }
}
