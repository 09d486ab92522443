#include "remote/CnxRigctlServer.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <memory>
#include <vector>

#include "FakeRemoteTarget.h"
#include "RigctlTestClient.h"
#include "TestSupport.h"
#include "remote/CnxRigctlLineReader.h"

namespace {

class RigctlServer : public testing::Test {
protected:
    RigctlServer() {
        EnsureCoreApp();
        server_.SetSilenceLimit(300ms);
        EXPECT_TRUE(server_.Listen(QHostAddress(QHostAddress::LocalHost), 0));
    }

    FakeRemoteTarget target_;
    CnxRigctlServer server_{target_, 0};
};

}  // namespace

TEST_F(RigctlServer, AReadingAfterAChangeSeesTheChange) {
    RigctlTestClient client(server_.GetPort());
    // All in one piece: each reading waits until the window has handled the change before it.
    const std::string expected =
        "RPRT 0\n162250000\nget_level: ATT\n0\nRPRT 0\nRPRT 0\n18\nRPRT 0\n25000\n";
    EXPECT_EQ(client.Ask("F 162250000\nf\n+l ATT\nL ATT 18\nl ATT\nN 25000\nn\n", expected),
              expected);
    EXPECT_TRUE(target_.receivers[0].attenuator);
}

TEST_F(RigctlServer, EveryCommandOfALineIsAnsweredAndArgumentsMayFollowOnTheNextLines) {
    RigctlTestClient client(server_.GetPort());
    const std::string expected =
        "136000000\nFM\n24000\nRPRT 0\nget_freq:\nFrequency: 150000000\nRPRT 0\n"
        "VFOA\nRPRT 0\n18\n";
    EXPECT_EQ(client.Ask("f m\nF\n150000000 +f\nv L\nATT\n18 l ATT\n", expected), expected);
    EXPECT_EQ(target_.receivers[0].frequency, 150000000);

    // A command waiting for its argument is a line the client owes: its silence ends the link.
    RigctlTestClient waiting(server_.GetPort());
    EXPECT_EQ(waiting.Ask("F\nf\n", "RPRT -1\n"), "RPRT -1\n") << "f is not a frequency";
    waiting.Send("F\n");
    EXPECT_TRUE(waiting.WaitForClose());
}

TEST_F(RigctlServer, BadInputIsAnsweredAndTheClientStaysServed) {
    RigctlTestClient client(server_.GetPort());
    const std::string overlong(CnxRigctlLineReader::kMaxLineLength + 500, 'F');
    const std::string binary("\x88\xff\0f\n", 5);
    const std::string expected = "RPRT -8\nRPRT -8\nRPRT -11\nRPRT -1\n136000000\n";
    EXPECT_EQ(client.Ask(overlong + "\n" + binary + "\\foo\nu FAGC\nF x\nf\n", expected), expected);
    EXPECT_TRUE(client.IsConnected());
    EXPECT_TRUE(target_.handled.empty());
}

TEST_F(RigctlServer, AtMostEightClientsAreServedAtOnce) {
    std::vector<std::unique_ptr<RigctlTestClient>> clients;
    for (int i = 0; i < CnxRigctlServer::kMaxClients; ++i) {
        clients.push_back(std::make_unique<RigctlTestClient>(server_.GetPort()));
        EXPECT_EQ(clients.back()->Ask("v\n", "VFOA\n"), "VFOA\n") << i;
    }
    RigctlTestClient refused(server_.GetPort());
    EXPECT_TRUE(refused.WaitForClose());
    EXPECT_EQ(server_.GetClientCount(), CnxRigctlServer::kMaxClients);

    // Once one says goodbye there is room again.
    EXPECT_EQ(clients.front()->Ask("q\n", "RPRT 0\n"), "RPRT 0\n");
    EXPECT_TRUE(clients.front()->WaitForClose());
    EXPECT_TRUE(PumpUntil([&] { return server_.GetClientCount() < CnxRigctlServer::kMaxClients; }));
    RigctlTestClient next(server_.GetPort());
    EXPECT_EQ(next.Ask("v\n", "VFOA\n"), "VFOA\n");
}

TEST_F(RigctlServer, ClientsThatOweALineAreDroppedOthersStay) {
    RigctlTestClient silent(server_.GetPort());
    RigctlTestClient halfway(server_.GetPort());
    halfway.Send("F 1622");
    RigctlTestClient talker(server_.GetPort());
    EXPECT_EQ(talker.Ask("f\n", "136000000\n"), "136000000\n");

    EXPECT_TRUE(silent.WaitForClose());
    EXPECT_TRUE(halfway.WaitForClose());
    EXPECT_TRUE(target_.handled.empty()) << "half a command does nothing";
    PumpFor(600ms);  // twice the limit
    EXPECT_TRUE(talker.IsConnected()) << "a client that has finished its lines may wait";
    EXPECT_EQ(talker.Ask("f\n", "136000000\n"), "136000000\n");
}

TEST_F(RigctlServer, AClientThatLeavesItsAnswersUnreadIsDropped) {
    RigctlTestClient hoarder(server_.GetPort());
    hoarder.StopReading();
    // Each answered with the whole rig description.
    hoarder.Send(QByteArray("1\n").repeated(20000).toStdString());
    EXPECT_TRUE(PumpUntil([&] { return server_.GetClientCount() == 0; }, 60s));
}

// The acknowledgement of a change comes after the change itself; whatever went meanwhile, it is
// dropped quietly.
TEST_F(RigctlServer, ChangesOutliveTheClientsAndServersThatAskedForThem) {
    RigctlTestClient dropped(server_.GetPort());
    target_.afterMessage = [&](const TmyMessage&) { server_.Close(); };
    dropped.Send("F 150000000\nf\n");
    EXPECT_TRUE(dropped.WaitForClose());
    EXPECT_EQ(target_.receivers[0].frequency, 150000000);

    auto doomed = std::make_unique<CnxRigctlServer>(target_, 1);
    ASSERT_TRUE(doomed->Listen(QHostAddress(QHostAddress::LocalHost), 0));
    RigctlTestClient client(doomed->GetPort());
    target_.afterMessage = [&](const TmyMessage&) { doomed.reset(); };
    client.Send("F 160000000\nf\n");
    EXPECT_TRUE(client.WaitForClose());
    EXPECT_EQ(doomed, nullptr);
    EXPECT_EQ(target_.receivers[1].frequency, 160000000);
    target_.afterMessage = nullptr;

    // The closed server listens again as good as new.
    ASSERT_TRUE(server_.Listen(QHostAddress(QHostAddress::LocalHost), 0));
    RigctlTestClient again(server_.GetPort());
    EXPECT_EQ(again.Ask("F 140000000\nf\n", "RPRT 0\n140000000\n"), "RPRT 0\n140000000\n");
}

// What does not depend on the rig's own values is answered byte for byte as Hamlib's own daemon
// answers it, here against its dummy rig.
TEST_F(RigctlServer, AnswersAsHamlibsOwnDaemon) {
    const QString rigctld = QStandardPaths::findExecutable("rigctld");
    ASSERT_FALSE(rigctld.isEmpty())
        << "rigctld missing: scripts/install-deps installs libhamlib-utils";
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress(QHostAddress::LocalHost), 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess daemon;
    daemon.start(rigctld, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    ASSERT_TRUE(daemon.waitForStarted(10000));
    std::unique_ptr<RigctlTestClient> theirs;
    ASSERT_TRUE(PumpUntil(
        [&] {
            theirs = std::make_unique<RigctlTestClient>(port);
            return theirs->IsConnected();
        },
        30s));

    const std::string script =
        "F 150000000 f\n+f ;f\nF\n162250000\nf v\n\\get_freq +\\get_freq\n+\\nosuch f\n"
        "V VFOA f\n+F\n150000000\n\\chk_vfo\n# a comment f\nq f\n";
    const auto answers = [&](RigctlTestClient& client) {
        client.Send(script);
        EXPECT_TRUE(client.WaitForClose());
        return client.Received();
    };
    RigctlTestClient ours(server_.GetPort());
    const std::string expected = answers(*theirs);
    EXPECT_EQ(answers(ours), expected);
    EXPECT_NE(expected.find("get_freq:;Frequency: 150000000;RPRT 0\n"), std::string::npos)
        << expected;
    daemon.kill();
    daemon.waitForFinished(5000);
}

TEST_F(RigctlServer, HamlibsOwnClientDrivesTheSlot) {
    const QString rigctl = QStandardPaths::findExecutable("rigctl");
    ASSERT_FALSE(rigctl.isEmpty())
        << "rigctl missing: scripts/install-deps installs libhamlib-utils";
    target_.receivers[0].levelDbm = -60.0;
    target_.receivers[0].raw = 178;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const QString commands =
        "F 162250000 f l STRENGTH l RAWSTR L ATT 18 l ATT l PREAMP N 25000 n m v";
    process.start(rigctl,
                  QStringList{"-m", "2", "-r", QString("127.0.0.1:%1").arg(server_.GetPort())} +
                      commands.split(' '));
    ASSERT_TRUE(PumpUntil([&] { return process.state() == QProcess::NotRunning; }, 60s));
    const std::string errors = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitCode(), 0) << errors;
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              "162250000\n12\n178\n18\n10\n25000\nFM\n24000\nVFOA\n")
        << errors;
}
