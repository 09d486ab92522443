#include "ui/TmyModal.h"

#include <QDialog>
#include <QEventLoop>

#include "core/TmyApplication.h"

int TmyModal::Exec(QDialog& dialog, TmyApplication& app) {
    if (app.IsQuitRequested()) {
        return QDialog::Rejected;
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    const QMetaObject::Connection answered =
        QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    app.RunNested(loop);
    QObject::disconnect(answered);
    if (dialog.isVisible()) {
        dialog.reject();  // the program ends
    }
    return dialog.result();
}

int TmyModal::Exec(QDialog& dialog) {
    return Exec(dialog, TmyApplication::Process());
}
