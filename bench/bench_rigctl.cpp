// Commands per second one rig-control client gets answered: `f` round trips (and `F` + `f`, whose
// change waits for the window) against a receiver slot's server, and the same `f` round trips
// against Hamlib's own rigctld with its dummy rig in the same run; the ratio closes the report.
// A round trip counts only when its answer is the expected one: the frequency last set (and the
// set's report); wrong answers are counted apart. With K740RX_RIGCTL_PORT set, the program
// listening there (e.g. while its receivers scan) is measured too, expecting every `f` to give the
// frequency its first `f` gave.
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
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchProcessor.h"
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
    int32_t GetScanStep(int) override { return 375000; }
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
    // `answer` receives them.
    bool Exchange(const std::string& text, std::ptrdiff_t lines, std::string& answer) {
        if (::send(socket_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
            return false;
        }
        answer.clear();
        while (lines > 0) {
            char buffer[512];
            const ssize_t got = ::recv(socket_, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return false;
            }
            answer.append(buffer, std::size_t(got));
            lines -= std::count(buffer, buffer + got, '\n');
        }
        return true;
    }

private:
    int socket_;
    bool connected_ = false;
};

std::map<std::string, double> g_rates;  // right answers per second by benchmark

// One request and the answer it must get.
struct Exchange {
    std::string request;
    std::string expected;
};

// Sets the frequency the round trips then expect to read, and waits until a read gives it.
bool Tune(Client& client, const std::string& frequency) {
    std::string answer;
    if (!client.Exchange("F " + frequency + "\n", 1, answer) || answer != "RPRT 0\n") {
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (!client.Exchange("f\n", 1, answer)) {
            return false;
        }
        if (answer == frequency + "\n") {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Round trips cycling through the exchanges; only right answers count toward the rate.
void RoundTrips(benchmark::State& state, const char* name, Client& client,
                const std::vector<Exchange>& exchanges) {
    int64_t right = 0;
    int64_t wrong = 0;
    std::size_t next = 0;
    std::string answer;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const Exchange& exchange = exchanges[next];
        next = (next + 1) % exchanges.size();
        const auto lines = std::count(exchange.expected.begin(), exchange.expected.end(), '\n');
        if (!client.Exchange(exchange.request, lines, answer)) {
            state.SkipWithError("the server left");
            return;
        }
        if (answer == exchange.expected) {
            ++right;
        } else {
            ++wrong;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double rate = static_cast<double>(right) / took.count();
    g_rates[name] = rate;
    state.counters["right answers/s"] = rate;
    state.counters["wrong answers"] = static_cast<double>(wrong);
}

// `f` round trips against a server tuned to a known frequency first.
void TunedRoundTrips(benchmark::State& state, const char* name, int port) {
    Client client(port);
    if (!client.IsConnected() || !Tune(client, "145000000")) {
        state.SkipWithError("no server to connect to, or it does not take a frequency");
        return;
    }
    RoundTrips(state, name, client, {{"f\n", "145000000\n"}});
}

ServerThread& OurServer() {
    static ServerThread server;
    return server;
}

void BM_GetFrequency(benchmark::State& state) {
    TunedRoundTrips(state, "ours", OurServer().Port());
}
BENCHMARK(BM_GetFrequency)->MinTime(2.0)->UseRealTime();

// Two frequencies by turns, so a read that missed its change shows.
void BM_SetThenGetFrequency(benchmark::State& state) {
    Client client(OurServer().Port());
    if (!client.IsConnected()) {
        state.SkipWithError("no server to connect to");
        return;
    }
    RoundTrips(
        state, "ours, change", client,
        {{"F 162250000\nf\n", "RPRT 0\n162250000\n"}, {"F 162625000\nf\n", "RPRT 0\n162625000\n"}});
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
    TunedRoundTrips(state, "rigctld", rigctld.Port());
}
BENCHMARK(BM_GetFrequencyRigctld)->MinTime(2.0)->UseRealTime();

// The running program is not retuned: every read must give what the first one gave.
void BM_GetFrequencyProgram(benchmark::State& state) {
    const char* port = std::getenv("K740RX_RIGCTL_PORT");
    if (port == nullptr) {
        state.SkipWithError("K740RX_RIGCTL_PORT not set: no running program to measure");
        return;
    }
    Client client(std::atoi(port));
    std::string first;
    if (!client.IsConnected() || !client.Exchange("f\n", 1, first) || first.size() < 2 ||
        first.find_first_not_of("0123456789") != first.size() - 1) {
        state.SkipWithError("the program does not answer f with a frequency");
        return;
    }
    RoundTrips(state, "program", client, {{"f\n", first}});
}
BENCHMARK(BM_GetFrequencyProgram)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("Processor: %s\n", ProcessorName().c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double ours = g_rates["ours"];
    const double hamlib = g_rates["rigctld"];
    if (ours > 0 && hamlib > 0) {
        std::printf(
            "f round trips per second answered right: K740RX %.0f, rigctld %.0f, ratio %.2f\n",
            ours, hamlib, ours / hamlib);
    }
    return 0;
}
