#pragma once
// Shared by the test programs: one Qt application object per test process, and a way to let the
// event loop run until something has happened. Widget tests use GuiTestSupport.h instead of
// EnsureCoreApp, so that tests of widget-free code link no widgets.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <chrono>
#include <functional>

using namespace std::chrono_literals;

inline QCoreApplication& EnsureCoreApp() {
    static int argc = 1;
    static char name[] = "k740rx-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() != nullptr
                                       ? QCoreApplication::instance()
                                       : new QCoreApplication(argc, argv);
    return *app;
}

// Runs the event loop until the predicate holds or the time is up; returns the predicate's value.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limit.count()) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for a while, for checks that something does NOT happen.
inline void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

// Calls a binding's wrapper with a zero or null for every parameter of the export's signature.
template <typename Signature>
struct ZeroArguments;
template <typename R, typename... Params>
struct ZeroArguments<R(Params...)> {
    template <typename Call>
    static R Apply(Call call) {
        return call(Params{}...);
    }
};
