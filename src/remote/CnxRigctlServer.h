#pragma once
// The rig-control server of one receiver slot: a listening socket on the window thread, at most
// kMaxClients connections, each answered by the slot's command set.
#include <QHostAddress>
#include <QTcpServer>
#include <chrono>
#include <cstdint>
#include <map>

#include "core/TmyMessageWindow.h"
#include "remote/CnxRigctlCommandSet.h"

class CnxRigctlClient;

class CnxRigctlServer {
public:
    static constexpr int kMaxClients = 8;
    static constexpr std::chrono::milliseconds kDefaultSilenceLimit{30000};

    CnxRigctlServer(InxRemoteTarget& target, int slot);
    ~CnxRigctlServer();
    CnxRigctlServer(const CnxRigctlServer&) = delete;
    CnxRigctlServer& operator=(const CnxRigctlServer&) = delete;

    // Port 0 lets the system choose one. A server that listens already is closed first.
    bool Listen(const QHostAddress& address, quint16 port);
    // Stops listening and ends every connection.
    void Close();
    bool IsListening() const { return listener_.isListening(); }
    // Why the last Listen failed, in the system's words.
    QString GetListenError() const { return listener_.errorString(); }
    quint16 GetPort() const { return listener_.serverPort(); }
    int GetSlot() const { return commands_.GetSlot(); }
    int GetClientCount() const { return static_cast<int>(clients_.size()); }
    // For connections made from now on.
    void SetSilenceLimit(std::chrono::milliseconds limit) { silenceLimit_ = limit; }

private:
    void Accept();
    void OnMessage(const TmyMessage& message);

    CnxRigctlCommandSet commands_;
    QTcpServer listener_;
    TmyMessageWindow window_;  // takes WM_REMOTE_CHANGE_DONE
    std::map<uint64_t, CnxRigctlClient*> clients_;
    uint64_t nextNumber_ = 1;
    std::chrono::milliseconds silenceLimit_ = kDefaultSilenceLimit;
};
