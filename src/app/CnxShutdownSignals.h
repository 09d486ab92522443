#pragma once
// SIGINT, SIGTERM and SIGHUP close the program the way closing its main window does: the handler
// only writes to a pipe, and the window thread turns that into a posted WM_CLOSE.
#include <QObject>

#include "core/TmyTypes.h"

class QSocketNotifier;

class CnxShutdownSignals : public QObject {
public:
    CnxShutdownSignals();
    ~CnxShutdownSignals() override;

    // A signal that came before the main window existed is passed on once it does.
    void SetTarget(HWND mainWindow);

private:
    void OnSignalled();

    HWND mainWindow_ = 0;
    bool pending_ = false;
    QSocketNotifier* notifier_ = nullptr;
};
