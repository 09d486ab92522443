#include "app/CnxK740RXDlgHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/TmyColorScheme.h"

CnxK740RXDlgHelp::CnxK740RXDlgHelp(QWidget* owner, const QString& page)
    : QDialog(owner), browser_(new QTextBrowser(this)) {
    TmyColorScheme::Default().ApplyTo(*this);
    // The manual's own style sheet, which the browser does not take from the pages' links.
    QFile style(QFileInfo(page).dir().filePath(QStringLiteral("style.css")));
    if (style.open(QIODevice::ReadOnly | QIODevice::Text)) {
        browser_->document()->setDefaultStyleSheet(QString::fromUtf8(style.readAll()));
    }
    setWindowTitle(QStringLiteral(" K740RX Help"));
    // Pages of the manual stay here; addresses elsewhere go to whatever the desktop offers.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (link.isLocalFile() || link.isRelative()) {
            browser_->setSource(browser_->source().resolved(link));
        } else {
            QDesktopServices::openUrl(link);
        }
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral(" K740RX Help")
                                       : QStringLiteral(" ") + title);
    });
    auto* back = new QPushButton(QStringLiteral("Back"), this);
    back->setToolTip(QStringLiteral("The page shown before (Alt+Left)"));
    back->setShortcut(QKeySequence::Back);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_, 1);
    layout->addLayout(buttons);
    resize(720, 600);
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
    browser_->setSource(QUrl::fromLocalFile(page));
}

QUrl CnxK740RXDlgHelp::Page() const {
    return browser_->source();
}
