#include "audio/CSndDlgSoundCard.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "audio/K740RXAudioLog.h"
#include "core/TmyComponent.h"
#include "core/TmyMessageQueue.h"
#include "ui/TmyColorScheme.h"
#include "ui/TmyModal.h"

CSndDlgSoundCard::CSndDlgSoundCard(QWidget* owner, const QString& caption, const QString& text)
    : QDialog(owner) {
    setWindowTitle(caption);
    setModal(true);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    setFont(font);
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(label);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    TmyColorScheme::Default().ApplyTo(*this);
    adjustSize();
}

void CSndDlgSoundCard::Show(HWND owner, const char* caption, const char* text) {
    auto* ownerWidget = dynamic_cast<QWidget*>(TmyMessageQueue::ForCurrentThread().Find(owner));
    CSndDlgSoundCard box(ownerWidget, QString::fromUtf8(caption), QString::fromUtf8(text));
    qCWarning(lcAudio) << "sound device box:" << text;
    TmyModal::Exec(box);
    if (ownerWidget != nullptr) {
        ownerWidget->activateWindow();
    }
}
