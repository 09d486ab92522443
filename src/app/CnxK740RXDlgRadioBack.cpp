#include "app/CnxK740RXDlgRadioBack.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/K740RXAppMessages.h"
#include "core/TmyComponent.h"

CnxK740RXDlgRadioBack::CnxK740RXDlgRadioBack(QWidget* owner, int receiverNumber, HWND mainWindow,
                                             WPARAM receiver)
    : QDialog(owner), mainWindow_(mainWindow), receiver_(receiver) {
    setWindowTitle(QStringLiteral(" Radio connected"));
    setModal(false);
    text_ = QStringLiteral("The radio of receiver %1 is connected again").arg(receiverNumber);
    auto* label = new QLabel(text_, this);
    label->setAlignment(Qt::AlignCenter);
    button_ = new QPushButton(QStringLiteral("Use Radio"), this);
    button_->setToolTip(QStringLiteral("Put the radio back in place of the simulated receiver"));
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &CnxK740RXDlgRadioBack::Press);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(label);
    layout->addWidget(button_, 0, Qt::AlignCenter);
    adjustSize();
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

QString CnxK740RXDlgRadioBack::ButtonText() const {
    return button_->text();
}

void CnxK740RXDlgRadioBack::Press() {
    hide();
    PostMessage(mainWindow_, WM_MAIN_TAKE_BACK_RADIO, receiver_, 0);
}
