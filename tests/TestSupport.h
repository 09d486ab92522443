#pragma once
// Shared by the test programs: one Qt application object per test process, and a way to let the
// event loop run until something has happened.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <functional>

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

// Runs the event loop until the predicate holds or the time is up; returns the predicate's value.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    EnsureQtApp();
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for a while, for checks that something does NOT happen.
inline void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}
