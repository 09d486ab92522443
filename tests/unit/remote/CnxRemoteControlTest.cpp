#include "remote/CnxRemoteControl.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <random>

#include "FakeRemoteTarget.h"
#include "RigctlTestClient.h"
#include "TestSupport.h"

namespace {

// A base port whose eight slot ports are free just now.
int FreeBasePort() {
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int base = 20000 + 16 * static_cast<int>(random() % 2500);
        bool free = true;
        for (int slot = 0; slot < CnxRemoteControl::kMaxSlots && free; ++slot) {
            QTcpServer probe;
            free = probe.listen(QHostAddress(QHostAddress::LocalHost), base + 2 * slot);
        }
        if (free) {
            return base;
        }
    }
    return 0;
}

class RemoteControl : public testing::Test {
protected:
    RemoteControl() {
        EnsureCoreApp();
        for (int slot = 0; slot < 8; ++slot) {
            target_.receivers[slot].frequency = 136000000 + 375000 * slot;
        }
    }

    FakeRemoteTarget target_;
    CnxRemoteControl control_{target_};
};

}  // namespace

TEST_F(RemoteControl, EachSlotListensTwoPortsAfterThePrevious) {
    const int base = FreeBasePort();
    ASSERT_NE(base, 0);
    ASSERT_EQ(control_.Start(base, 3), 3);
    EXPECT_TRUE(control_.IsRunning());
    EXPECT_EQ(control_.GetBasePort(), base);
    std::vector<std::unique_ptr<RigctlTestClient>> clients;
    for (int slot = 0; slot < 3; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(control_.GetPort(slot), base + 2 * slot);
        clients.push_back(std::make_unique<RigctlTestClient>(base + 2 * slot));
        const std::string frequency = std::to_string(136000000 + 375000 * slot) + "\n";
        EXPECT_EQ(clients.back()->Ask("f\n", frequency), frequency);
    }
    EXPECT_EQ(control_.GetPort(3), 0);

    // Stopping ends every connection and frees the ports.
    control_.Stop();
    EXPECT_FALSE(control_.IsRunning());
    EXPECT_EQ(control_.GetPort(0), 0);
    for (const auto& client : clients) {
        EXPECT_TRUE(client->WaitForClose());
    }
    QTcpServer reuse;
    EXPECT_TRUE(reuse.listen(QHostAddress(QHostAddress::LocalHost), base + 2));
}

TEST_F(RemoteControl, ATakenPortLeavesOnlyItsSlotWithoutServer) {
    const int base = FreeBasePort();
    ASSERT_NE(base, 0);
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress(QHostAddress::LocalHost), base + 2));
    EXPECT_EQ(control_.Start(base, 12), CnxRemoteControl::kMaxSlots - 1);
    EXPECT_EQ(control_.GetPort(1), 0);
    EXPECT_EQ(control_.GetPort(7), base + 14);
    EXPECT_TRUE(control_.IsRunning());
    // The operator learns which port is busy, for which receiver, and why.
    const QString inUse = QStringLiteral("The bound address is already in use");
    EXPECT_EQ(control_.DescribeFailures(),
              QStringLiteral("The remote control runs, but not for every receiver:\n"
                             "port %1 for receiver 2 cannot be opened (%2).")
                  .arg(base + 2)
                  .arg(inUse));

    // Starting again replaces the servers; base 0 lets the system pick each port.
    EXPECT_EQ(control_.Start(0, 2), 2);
    EXPECT_NE(control_.GetPort(0), 0);
    EXPECT_NE(control_.GetPort(0), control_.GetPort(1));
    EXPECT_EQ(control_.GetPort(2), 0);
    EXPECT_TRUE(control_.DescribeFailures().isEmpty());

    EXPECT_EQ(control_.Start(base + 2, 1), 0);
    EXPECT_EQ(control_.DescribeFailures(), QStringLiteral("The remote control stays off:\n"
                                                          "port %1 for receiver 1 cannot be "
                                                          "opened (%2).")
                                               .arg(base + 2)
                                               .arg(inUse));
    control_.Stop();
    EXPECT_TRUE(control_.DescribeFailures().isEmpty());
    EXPECT_EQ(control_.Start(65534, 2), 1);
    EXPECT_TRUE(control_.DescribeFailures().contains("port 65536 for receiver 2"))
        << control_.DescribeFailures().toStdString();
}

TEST_F(RemoteControl, TheOptionWinsOverTheSavedPortAndOnlyANamedAddressOpensMoreThanLoopback) {
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(true, 4532, 4700), 4532);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(false, 4532, 4700), 4700);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(false, 4532, 0), 0);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(true, 0, 4700), 0);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(true, -4532, 0), 0);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(true, 65521, 0), 65521) << "slot 7 on 65535";
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(true, 65522, 0), 0);
    EXPECT_EQ(CnxRemoteControl::ChooseBasePort(false, 0, 70000), 0);

    EXPECT_EQ(CnxRemoteControl::ChooseAddress(""), QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(CnxRemoteControl::ChooseAddress("localhost and more"),
              QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(CnxRemoteControl::ChooseAddress("0.0.0.0"), QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_EQ(CnxRemoteControl::ChooseAddress("192.168.1.5"), QHostAddress("192.168.1.5"));
    EXPECT_EQ(CnxRemoteControl::ChooseAddress("::1"), QHostAddress(QHostAddress::LocalHostIPv6));
}
