#include "RigctlTestClient.h"

#include <QHostAddress>

RigctlTestClient::RigctlTestClient(quint16 port) {
    socket_.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    // A refused connection may end before it is ever seen standing.
    PumpUntil([this] {
        return socket_.state() != QAbstractSocket::HostLookupState &&
               socket_.state() != QAbstractSocket::ConnectingState;
    });
}

void RigctlTestClient::Send(const std::string& text) {
    socket_.write(text.data(), static_cast<qint64>(text.size()));
}

std::string RigctlTestClient::Ask(const std::string& line, const std::string& expected) {
    Send(line);
    PumpUntil([&] {
        received_ += socket_.readAll().toStdString();
        return received_.size() >= expected.size();
    });
    return std::exchange(received_, std::string());
}

bool RigctlTestClient::WaitForClose() {
    return PumpUntil([this] {
        received_ += socket_.readAll().toStdString();
        return socket_.state() == QAbstractSocket::UnconnectedState;
    });
}
