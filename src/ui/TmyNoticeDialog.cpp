#include "ui/TmyNoticeDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/TmyComponent.h"

TmyNoticeDialog::TmyNoticeDialog(QWidget* owner, const QString& caption, const QString& text,
                                 Answer answer)
    : QDialog(owner), text_(text), answer_(std::move(answer)) {
    setWindowTitle(caption);
    setModal(false);
    auto* label = new QLabel(text_, this);
    label->setAlignment(Qt::AlignCenter);
    button_ = new QPushButton(answer_.text, this);
    button_->setToolTip(answer_.toolTip);
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &TmyNoticeDialog::Press);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(label);
    layout->addWidget(button_, 0, Qt::AlignCenter);
    adjustSize();
}

QString TmyNoticeDialog::ButtonText() const {
    return button_->text();
}

void TmyNoticeDialog::Press() {
    hide();
    PostMessage(answer_.target, answer_.message, answer_.wParam, 0);
}
