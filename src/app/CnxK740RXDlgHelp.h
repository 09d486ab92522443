#pragma once
// The manual in a window of the program's own, for desktops where no browser can be launched: the
// pages beside the program, with their links followed inside the window.
#include <QDialog>

class QTextBrowser;

class CnxK740RXDlgHelp : public QDialog {
public:
    CnxK740RXDlgHelp(QWidget* owner, const QString& page);

    // The page shown; the caption carries its title.
    QUrl Page() const;

private:
    QTextBrowser* browser_;
};
