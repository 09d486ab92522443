#include "remote/CnxRigctlServer.h"

#include <QTcpSocket>

#include "remote/CnxRigctlClient.h"
#include "remote/K740RXRemoteLog.h"
#include "remote/K740RXRemoteMessages.h"

CnxRigctlServer::CnxRigctlServer(InxRemoteTarget& target, int slot)
    : commands_(target, slot),
      window_("RemoteControlSlot" + std::to_string(slot),
              [this](const TmyMessage& message) { OnMessage(message); }) {
    QObject::connect(&listener_, &QTcpServer::newConnection, [this] { Accept(); });
}

CnxRigctlServer::~CnxRigctlServer() {
    Close();
}

bool CnxRigctlServer::Listen(const QHostAddress& address, quint16 port) {
    Close();
    if (!listener_.listen(address, port)) {
        qCWarning(lcRemote) << "slot" << GetSlot() << "cannot listen on" << address.toString()
                            << port << ":" << listener_.errorString();
        return false;
    }
    qCInfo(lcRemote) << "slot" << GetSlot() << "listens on" << address.toString()
                     << listener_.serverPort();
    return true;
}

void CnxRigctlServer::Close() {
    listener_.close();
    // Taken out first: ending a connection reports back into the map. Nothing of a client runs
    // here, so it can go at once rather than later.
    std::map<uint64_t, CnxRigctlClient*> clients;
    clients.swap(clients_);
    for (const auto& [number, client] : clients) {
        client->Drop("server closed");
        delete client;
    }
}

void CnxRigctlServer::Accept() {
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        if (GetClientCount() >= kMaxClients) {
            qCInfo(lcRemote) << "slot" << GetSlot() << "refuses a client: already" << kMaxClients;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const uint64_t number = nextNumber_++;
        auto* client = new CnxRigctlClient(
            socket, commands_, number, window_.GetHandle(), silenceLimit_,
            [this](CnxRigctlClient& gone) { clients_.erase(gone.GetNumber()); });
        clients_.emplace(number, client);
        qCInfo(lcRemote) << "slot" << GetSlot() << "client" << number << "from"
                         << socket->peerAddress().toString();
        client->Start();
    }
}

void CnxRigctlServer::OnMessage(const TmyMessage& message) {
    if (message.message != WM_REMOTE_CHANGE_DONE) {
        return;
    }
    // The client may have gone meanwhile.
    if (const auto it = clients_.find(message.wParam); it != clients_.end()) {
        it->second->OnChangeDone();
    }
}
