#pragma once
// One connection to a receiver slot's server. It reads the client's lines and answers each command
// in turn; while a change it asked for waits on the window thread, its next commands wait too, so a
// reading that follows a change sees the change. A client that never finishes a line or a command,
// or never sends one, within the silence limit is dropped, and so is one that leaves more than the
// backlog of answers unread for that long.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "core/TmyTypes.h"
#include "remote/CnxRigctlCommandSet.h"
#include "remote/CnxRigctlLineReader.h"

class QTcpSocket;

class CnxRigctlClient : public QObject {
public:
    static constexpr qint64 kReadChunk = 4096;
    // Answers not yet taken by the client beyond which its further lines wait.
    static constexpr qint64 kMaxBacklog = 64 * 1024;

    using GoneHandler = std::function<void(CnxRigctlClient&)>;

    // Takes the socket. `doneWindow` receives WM_REMOTE_CHANGE_DONE with the client's number,
    // which the owner passes on to OnChangeDone. `gone` runs once when the connection ends; the
    // client then deletes itself later.
    CnxRigctlClient(QTcpSocket* socket, CnxRigctlCommandSet& commands, uint64_t number,
                    HWND doneWindow, std::chrono::milliseconds silenceLimit, GoneHandler gone);

    // Begins with what the client has sent so far; `gone` may run from here on.
    void Start();
    uint64_t GetNumber() const { return number_; }
    void OnChangeDone();
    void Drop(const char* reason);

private:
    void Pump();
    // One step of the reading: a command carried out, a line taken in (`lineTaken` set) or bytes
    // read; false when there is nothing to do.
    bool Step(bool& lineTaken);
    void Handle(const SnxRigctlCommand& command);
    void Send(const std::string& text);
    void WatchSilence(bool progressed);
    void End();

    QTcpSocket* socket_;
    CnxRigctlCommandSet& commands_;
    uint64_t number_;
    HWND doneWindow_;
    GoneHandler gone_;
    CnxRigctlLineReader reader_;
    CnxRigctlParser parser_;
    QTimer silence_;
    std::string heldAnswer_;  // the answer of the change being carried out
    bool waiting_ = false;    // for WM_REMOTE_CHANGE_DONE
    bool spoken_ = false;     // a complete line has come
    bool ended_ = false;
};
