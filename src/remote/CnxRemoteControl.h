#pragma once
// Remote control of the receivers over the rig-control network protocol: one server per receiver
// slot, slot n on the base port + 2 n, listening on the loopback address unless another one is
// named. The servers run on the window thread and reach the receivers through the target.
#include <QHostAddress>
#include <QString>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "remote/CnxRigctlServer.h"
#include "remote/InxRemoteTarget.h"
#include "settings/K740RXSlots.h"

class CnxRemoteControl {
public:
    static constexpr int kDefaultBasePort = 4532;
    static constexpr int kMaxSlots = kK740RXSlotCount;

    explicit CnxRemoteControl(InxRemoteTarget& target);
    ~CnxRemoteControl();
    CnxRemoteControl(const CnxRemoteControl&) = delete;
    CnxRemoteControl& operator=(const CnxRemoteControl&) = delete;

    // Opens the servers of slots 0 .. slotCount - 1 (at most kMaxSlots), closing any that run.
    // Base port 0 lets the system choose every port. Returns how many listen; a slot whose port
    // is taken stays without a server, and DescribeFailures says so.
    int Start(int basePort, int slotCount,
              const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    void Stop();
    bool IsRunning() const;
    int GetBasePort() const { return basePort_; }
    // The port a slot's server listens on, 0 when it has none.
    quint16 GetPort(int slot) const;
    int GetClientCount(int slot) const;
    // For connections made from now on.
    void SetSilenceLimit(std::chrono::milliseconds limit);

    // What the last Start could not open, for the operator: which port of which receiver and
    // why, and whether the remote control runs at all. Empty when every slot listens.
    QString DescribeFailures() const;

    // The base port to start with: the command-line option's value when it was given, otherwise
    // the saved one. 0, or a base whose eight ports do not all fit below 65536, means off.
    static int ChooseBasePort(bool optionGiven, int optionValue, int savedPort);
    // The address to listen on: loopback unless a valid address was named.
    static QHostAddress ChooseAddress(const std::string& named);

private:
    CnxRigctlServer* Server(int slot) const;

    struct Failure {
        int slot;
        int port;
        QString reason;
    };

    InxRemoteTarget& target_;
    std::vector<std::unique_ptr<CnxRigctlServer>> servers_;
    std::vector<Failure> failures_;
    int basePort_ = 0;
    std::chrono::milliseconds silenceLimit_ = CnxRigctlServer::kDefaultSilenceLimit;
};
