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

std::string RigctlTestClient::Receive(std::size_t bytes, std::chrono::milliseconds limit) {
    PumpUntil(
        [&] {
            received_ += socket_.readAll().toStdString();
            return received_.size() >= bytes;
        },
        limit);
    return std::exchange(received_, std::string());
}

std::string RigctlTestClient::Ask(const std::string& line, const std::string& expected) {
    Send(line);
    return Receive(expected.size());
}

bool RigctlTestClient::WaitForClose(std::chrono::milliseconds limit) {
    return PumpUntil(
        [this] {
            received_ += socket_.readAll().toStdString();
            return socket_.state() == QAbstractSocket::UnconnectedState;
        },
        limit);
}
