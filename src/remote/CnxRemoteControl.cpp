#include "remote/CnxRemoteControl.h"

#include <algorithm>

#include "remote/K740RXRemoteLog.h"

CnxRemoteControl::CnxRemoteControl(InxRemoteTarget& target) : target_(target) {}

CnxRemoteControl::~CnxRemoteControl() {
    Stop();
}

int CnxRemoteControl::Start(int basePort, int slotCount, const QHostAddress& address) {
    Stop();
    basePort_ = basePort;
    int listening = 0;
    for (int slot = 0; slot < std::min(slotCount, kMaxSlots); ++slot) {
        auto server = std::make_unique<CnxRigctlServer>(target_, slot);
        server->SetSilenceLimit(silenceLimit_);
        const int port = basePort == 0 ? 0 : basePort + 2 * slot;
        if (port > 65535) {
            failures_.push_back({slot, port, QStringLiteral("no such port, 65535 is the highest")});
        } else if (server->Listen(address, static_cast<quint16>(port))) {
            ++listening;
        } else {
            failures_.push_back({slot, port, server->GetListenError()});
        }
        servers_.push_back(std::move(server));
    }
    return listening;
}

void CnxRemoteControl::Stop() {
    if (!servers_.empty()) {
        qCInfo(lcRemote) << "remote control stops";
    }
    servers_.clear();
    failures_.clear();
    basePort_ = 0;
}

bool CnxRemoteControl::IsRunning() const {
    return std::any_of(servers_.begin(), servers_.end(),
                       [](const auto& server) { return server->IsListening(); });
}

CnxRigctlServer* CnxRemoteControl::Server(int slot) const {
    return slot >= 0 && slot < static_cast<int>(servers_.size()) ? servers_[slot].get() : nullptr;
}

quint16 CnxRemoteControl::GetPort(int slot) const {
    const CnxRigctlServer* server = Server(slot);
    return server != nullptr && server->IsListening() ? server->GetPort() : 0;
}

int CnxRemoteControl::GetClientCount(int slot) const {
    const CnxRigctlServer* server = Server(slot);
    return server != nullptr ? server->GetClientCount() : 0;
}

void CnxRemoteControl::SetSilenceLimit(std::chrono::milliseconds limit) {
    silenceLimit_ = limit;
    for (const auto& server : servers_) {
        server->SetSilenceLimit(limit);
    }
}

QString CnxRemoteControl::DescribeFailures() const {
    if (failures_.empty()) {
        return QString();
    }
    QString text = IsRunning()
                       ? QStringLiteral("The remote control runs, but not for every receiver:")
                       : QStringLiteral("The remote control stays off:");
    for (const Failure& failure : failures_) {
        text += QStringLiteral("\nport %1 for receiver %2 cannot be opened (%3)")
                    .arg(failure.port)
                    .arg(failure.slot + 1)
                    .arg(failure.reason);
    }
    return text + QStringLiteral(".");
}

int CnxRemoteControl::ChooseBasePort(bool optionGiven, int optionValue, int savedPort) {
    const int base = optionGiven ? optionValue : savedPort;
    const bool fits = base > 0 && base + 2 * (kMaxSlots - 1) <= 65535;
    return fits ? base : 0;
}

QHostAddress CnxRemoteControl::ChooseAddress(const std::string& named) {
    const QHostAddress address(QString::fromStdString(named));
    if (named.empty() || address.isNull()) {
        if (!named.empty()) {
            qCWarning(lcRemote) << "not an address:" << named.c_str() << "- listening on loopback";
        }
        return QHostAddress(QHostAddress::LocalHost);
    }
    return address;
}
