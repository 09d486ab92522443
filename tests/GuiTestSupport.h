#pragma once
// The application object of widget tests, on the offscreen platform unless a display is chosen.
#include <QApplication>

#include "TestSupport.h"

inline QApplication& EnsureQtApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "k740rx-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app =
        qobject_cast<QApplication*>(QCoreApplication::instance()) ?: new QApplication(argc, argv);
    return *app;
}
