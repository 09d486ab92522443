// Commands per second one rig-control client gets answered: `f` round trips (and `F` + `f`, whose
// change waits for the window) against a receiver slot's server, and the same `f` round trips
// against Hamlib's own rigctld with its dummy rig in the same run; the ratio closes the report.
// With K740RX_RIGCTL_PORT set, the program listening there (e.g. while its receivers scan) is
// measured too.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "core/K740RXExternalMessages.h"
#include "core/TmyComponent.h"
#include "remote/CnxRigctlServer.h"

namespace {

// The main window's part: one slot whose frequency changes when the window handles the message.
class BenchTarget : public InxRemoteTarget, public TmyComponent {
public:
    HWND GetMessageWindow() override { return GetHandle(); }
    int GetSelectedSlot() override { return 0; }
    bool HasReceiver(int) override { return true; }
    bool IsRadioConnected(int) override { return true; }
    SnxRemoteFrequencyRange GetFrequencyRange(int) override { return {136000000, 173500000}; }
    int32_t GetFrequency(int) override { return frequency_; }
    double GetLevelDbm(int) override { return -60.0; }
    int GetRawLevel(int) override { return 178; }
    bool GetSlotAttenuator(int) override { return false; }
    bool GetRFAmplifier(int) override { return true; }
    int32_t GetPassband(int) override { return 24000; }
    int32_t GetScanStep() override { return 375000; }
    void SetSlotAttenuator(int, bool) override {}

protected:
    void OnWindowMessage(const TmyMessage& message) override {
        if (message.message == WM_MAIN_FREQUENCY_SET) {
            frequency_ = static_cast<int32_t>(message.lParam);
        }
    }

private:
    int32_t frequency_ = 136000000;
};

// The server and its target on a window thread of their own, as in the program.
class ServerThread {
public:
    ServerThread() {
        context_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                target_ = std::make_unique<BenchTarget>();
                server_ = std::make_unique<CnxRigctlServer>(*target_, 0);
                server_->Listen(QHostAddress(QHostAddress::LocalHost), 0);
                port_ = server_->GetPort();
            },
            Qt::BlockingQueuedConnection);
    }
    ~ServerThread() {
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                server_.reset();
                target_.reset();
            },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    quint16 Port() const { return port_; }

private:
    QThread thread_;
    QObject context_;  // lives in the thread: what is invoked on it runs there
    std::unique_ptr<BenchTarget> target_;
    std::unique_ptr<CnxRigctlServer> server_;
    quint16 port_ = 0;
};

// A blocking client, as a logging script would be: one command, then wait for its answer.
class Client {
public:
    explicit Client(int port) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int on = 1;
        ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        connected_ = ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(socket_); }
    bool IsConnected() const { return connected_; }

    // Sends the text and reads until `lines` answer lines have come; false when the server left.
    bool Exchange(const std::string& text, int lines) {
        if (::send(socket_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
            return false;
        }
        while (lines > 0) {
            char buffer[512];
            const ssize_t got = ::recv(socket_, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return false;
            }
            for (ssize_t i = 0; i < got; ++i) {
                lines -= buffer[i] == '\n';
            }
        }
        return true;
    }

private:
    int socket_;
    bool connected_ = false;
};

std::map<std::string, double> g_rates;  // round trips per second by benchmark

void RoundTrips(benchmark::State& state, const char* name, int port, const std::string& request,
                int lines) {
    Client client(port);
    if (!client.IsConnected()) {
        state.SkipWithError("no server to connect to");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!client.Exchange(request, lines)) {
            state.SkipWithError("the server left");
            return;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double rate = static_cast<double>(state.iterations()) / took.count();
    g_rates[name] = rate;
    state.counters["round trips/s"] = rate;
}

ServerThread& OurServer() {
    static ServerThread server;
    return server;
}

void BM_GetFrequency(benchmark::State& state) {
    RoundTrips(state, "ours", OurServer().Port(), "f\n", 1);
}
BENCHMARK(BM_GetFrequency)->MinTime(2.0)->UseRealTime();

void BM_SetThenGetFrequency(benchmark::State& state) {
    RoundTrips(state, "ours, change", OurServer().Port(), "F 162250000\nf\n", 2);
}
BENCHMARK(BM_SetThenGetFrequency)->MinTime(2.0)->UseRealTime();

// Hamlib's daemon with its dummy rig, started for the run.
class Rigctld {
public:
    Rigctld() {
        const QString program = QStandardPaths::findExecutable("rigctld");
        if (program.isEmpty()) {
            return;
        }
        QTcpServer probe;  // a free port, given back just before rigctld takes it
        probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
        port_ = probe.serverPort();
        probe.close();
        process_.start(program, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port_)});
        process_.waitForStarted(5000);
        for (int attempt = 0; attempt < 100 && !Client(port_).IsConnected(); ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Rigctld() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    int Port() const { return process_.state() == QProcess::Running ? port_ : 0; }

private:
    QProcess process_;
    int port_ = 0;
};

void BM_GetFrequencyRigctld(benchmark::State& state) {
    static Rigctld rigctld;
    if (rigctld.Port() == 0) {
        state.SkipWithError("rigctld (Debian package libhamlib-utils) is not installed");
        return;
    }
    RoundTrips(state, "rigctld", rigctld.Port(), "f\n", 1);
}
BENCHMARK(BM_GetFrequencyRigctld)->MinTime(2.0)->UseRealTime();

void BM_GetFrequencyProgram(benchmark::State& state) {
    const char* port = std::getenv("K740RX_RIGCTL_PORT");
    if (port == nullptr) {
        state.SkipWithError("K740RX_RIGCTL_PORT not set: no running program to measure");
        return;
    }
    RoundTrips(state, "program", std::atoi(port), "f\n", 1);
}
BENCHMARK(BM_GetFrequencyProgram)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double ours = g_rates["ours"];
    const double hamlib = g_rates["rigctld"];
    if (ours > 0 && hamlib > 0) {
        std::printf("f round trips per second: K740RX %.0f, rigctld %.0f, ratio %.2f\n", ours,
                    hamlib, ours / hamlib);
    }
    return 0;
}
