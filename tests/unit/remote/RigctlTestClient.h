#pragma once
// A plain network client of a server under test, on the test's own thread: what it sends goes out
// while the event loop runs, and it collects whatever comes back.
#include <QTcpSocket>
#include <string>
#include <utility>

#include "TestSupport.h"

class RigctlTestClient {
public:
    // Connects and waits until the connection stands or has failed.
    explicit RigctlTestClient(quint16 port);

    bool IsConnected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void Send(const std::string& text);
    // Sends a line and collects an answer as long as the expected one.
    std::string Ask(const std::string& line, const std::string& expected);
    // Takes nothing more from the system, so unread answers pile up at the server.
    void StopReading() { socket_.setReadBufferSize(1); }
    // Waits until the server has closed the connection.
    bool WaitForClose();
    // What came and was not yet handed out by Ask.
    std::string Received() { return std::exchange(received_, std::string()); }

private:
    QTcpSocket socket_;
    std::string received_;
};
