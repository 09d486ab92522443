#include "app/CnxK740RXDlgAbout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/K740RXAppMessages.h"
#include "core/TmyComponent.h"
#include "ui/TmyColorScheme.h"

namespace {
QString InformationText() {
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/K740RX.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    return QString::fromUtf8(file.read(8192)).trimmed();
}
}  // namespace

CnxK740RXDlgAbout::CnxK740RXDlgAbout(QWidget* owner, HWND mainWindow)
    : QDialog(owner), mainWindow_(mainWindow) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    setWindowTitle(QStringLiteral(" About K740RX"));
    auto* product = new QLabel(QStringLiteral("K740RX"), this);
    product->setFont(s.displayFont(32));
    product->setStyleSheet(QStringLiteral("color: %1;").arg(s.display.name()));
    auto* subtitle = new QLabel(QStringLiteral("Sonobuoy Receiver control program\nVersion %1")
                                    .arg(QCoreApplication::applicationVersion()),
                                this);
    auto* info = new QLabel(InformationText(), this);
    info->setWordWrap(true);
    info->setStyleSheet(QStringLiteral("color: %1;").arg(s.textSecondary.name()));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CnxK740RXDlgAbout::AskToClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(product, 0, Qt::AlignHCenter);
    layout->addWidget(subtitle, 0, Qt::AlignHCenter);
    layout->addWidget(info);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedWidth(360);
    adjustSize();
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

void CnxK740RXDlgAbout::AskToClose() {
    hide();
    PostMessage(mainWindow_, WM_MAIN_CLOSE_ABOUT, 0, 0);
}

void CnxK740RXDlgAbout::closeEvent(QCloseEvent* event) {
    event->ignore();
    AskToClose();
}
