// A remote client changes a receiver; the window shows it at once.
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>

#include "MainWindowFixture.h"

namespace {

int FreePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress(QHostAddress::LocalHost), 0) ? probe.serverPort() : 0;
}

// Sends one command line and waits for its whole answer.
QByteArray Ask(QTcpSocket& socket, const QByteArray& line) {
    socket.write(line + "\n");
    QByteArray answer;
    PumpUntil([&] {
        answer += socket.readAll();
        return answer.endsWith('\n');
    });
    return answer;
}

// Connects to a receiver's server and waits until the connection stands.
bool ConnectTo(QTcpSocket& socket, int port) {
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(port));
    return PumpUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; });
}

TEST_F(MainWindowTest, ARemoteAttenuatorChangeShowsInTheWindowAndStaysInTheSettings) {
    WriteRadios(true);
    const int port = FreePort();
    ASSERT_NE(port, 0);
    g_optRigctl = {true, port};
    Start();
    QPushButton* remote = Switch("Remote");
    ASSERT_NE(remote, nullptr);
    EXPECT_TRUE(remote->isChecked());

    QTcpSocket socket;
    ASSERT_TRUE(ConnectTo(socket, port));
    EXPECT_EQ(Ask(socket, "L ATT 18"), "RPRT 0\n");
    EXPECT_TRUE(Switch("Atten")->isChecked());
    EXPECT_EQ(window_->Meter(0).AttenuatorButton()->text(), "ATTEN ON");
    EXPECT_EQ(window_->Settings().Receiver(0).atten, 1);
    EXPECT_EQ(Ask(socket, "F 162250000"), "RPRT 0\n");
    EXPECT_EQ(Frequency(), 162250000);
    // The step of this receiver's scan, the one its scanner shows.
    EXPECT_EQ(Ask(socket, "N 12500"), "RPRT 0\n");
    EXPECT_TRUE(window_->ScannerPage(0).Scanner().GetRangeText().contains("12.5 kHz"));
    EXPECT_EQ(window_->Settings().Receiver(0).scan.step, 12500);
    EXPECT_EQ(window_->Settings().Receiver(1).scan.step, 375000);
    QTcpSocket second;  // the other receiver's server, two ports on
    ASSERT_TRUE(ConnectTo(second, port + 2));
    EXPECT_EQ(Ask(second, "N 25000"), "RPRT 0\n");
    EXPECT_EQ(window_->Settings().Receiver(1).scan.step, 25000);
    EXPECT_TRUE(window_->ScannerPage(1).Scanner().GetRangeText().contains("25 kHz"));
    EXPECT_EQ(Ask(socket, "n"), "12500\n");

    // The switch turns the servers off and keeps that.
    remote->click();
    EXPECT_FALSE(remote->isChecked());
    EXPECT_EQ(window_->Settings().GetRemoteControlPort(), 0);
    ASSERT_TRUE(PumpUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }));
}

// The remote control's warnings that are up, by their text.
QStringList RemoteWarnings() {
    QStringList texts;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible() && box->windowTitle().contains("Remote control")) {
            texts.push_back(box->text());
        }
    }
    return texts;
}

TEST_F(MainWindowTest, ABusyPortIsNamedInTheWindowOncePerAttempt) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress(QHostAddress::LocalHost), 0));
    const int port = squatter.serverPort();
    g_optRigctl = {true, port};
    Start();
    QPushButton* remote = Switch("Remote");
    ASSERT_NE(remote, nullptr);
    EXPECT_TRUE(remote->isChecked()) << "the other receivers' ports are free";
    QStringList warnings = RemoteWarnings();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QString("port %1 for receiver 1").arg(port)))
        << warnings.front().toStdString();
    EXPECT_TRUE(warnings.front().contains("in use")) << warnings.front().toStdString();

    // Each time the switch turns it on tells again; turning it off, or a start that opens every
    // port, tells nothing.
    remote->click();
    EXPECT_FALSE(remote->isChecked());
    EXPECT_EQ(RemoteWarnings().size(), 1);
    remote->click();
    EXPECT_TRUE(remote->isChecked());
    EXPECT_EQ(RemoteWarnings().size(), 2);
    squatter.close();
    remote->click();
    remote->click();
    EXPECT_TRUE(remote->isChecked());
    EXPECT_EQ(RemoteWarnings().size(), 2);
}

// An unplugged radio answers as a rig that is switched off, from the moment the driver knows.
TEST_F(MainWindowTest, AnUnpluggedRadioAnswersAsSwitchedOff) {
    WriteRadios(true);
    const int port = FreePort();
    ASSERT_NE(port, 0);
    g_optRigctl = {true, port};
    Start();
    QTcpSocket socket;
    ASSERT_TRUE(ConnectTo(socket, port));
    EXPECT_EQ(Ask(socket, "\\get_powerstat"), "1\n");

    WriteRadios(false);
    EXPECT_TRUE(PumpUntil([&] { return Ask(socket, "\\get_powerstat") == "0\n"; }, 10s));
    EXPECT_EQ(Ask(socket, "F 162250000"), "RPRT -6\n");
    EXPECT_EQ(Ask(socket, "f"), "RPRT -6\n");
    WriteRadios(true);
    EXPECT_TRUE(PumpUntil([&] { return Ask(socket, "\\get_powerstat") == "1\n"; }, 10s));

    // Removed altogether, it stops answering as soon as the driver has noticed.
    WriteSimulation("[radio1]\nserial = 4711002\nproduct = K7PCI-B\nconnected = 1\n");
    EXPECT_TRUE(PumpUntil([&] { return Ask(socket, "f") == "RPRT -6\n"; }, 10s));
    EXPECT_EQ(Ask(socket, "\\get_powerstat"), "0\n");
}

}  // namespace
