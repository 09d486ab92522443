// What handing a message to the window thread costs: posting from worker threads and draining
// on the window thread, in posting order.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>

#include "BenchCpuTime.h"
#include "core/TmyComponent.h"

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class Counter : public TmyComponent {
public:
    std::atomic<std::size_t> received = 0;

protected:
    void OnWindowMessage(const TmyMessage&) override {
        received.store(received.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
};

void BM_PostAndDrain(benchmark::State& state) {
    App();
    Counter target;
    const int threads = int(state.range(0));
    constexpr int kBatch = 10000;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        target.received = 0;
        std::vector<std::thread> posters;
        for (int t = 0; t < threads; ++t) {
            posters.emplace_back([&] {
                for (int i = 0; i < kBatch; ++i) {
                    PostMessage(target.GetHandle(), WM_USER, WPARAM(i), 0);
                }
            });
        }
        while (target.received < std::size_t(kBatch) * threads) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        for (auto& poster : posters) {
            poster.join();
        }
    }
    const double posts = double(state.iterations()) * kBatch * threads;
    // Wall time suffers when the machine is busy; the CPU time both sides spend per post less so.
    state.counters["cpu_per_post"] = (ProcessCpuSeconds() - cpuBefore) / posts;
    state.counters["posts/s"] = benchmark::Counter(posts, benchmark::Counter::kIsRate);
    state.counters["per_post"] =
        benchmark::Counter(posts, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PostAndDrain)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One message at a time: the poster waits until the window thread has taken each one before it
// posts the next, as a thread waiting for an answer would. This is the latency of a hand-over to
// an idle window thread and back, woken every time or not.
void BM_PostOneAtATime(benchmark::State& state) {
    App();
    Counter target;
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        for (std::size_t sent = 1; !stop; ++sent) {
            PostMessage(target.GetHandle(), WM_USER, WPARAM(sent), 0);
            while (target.received.load(std::memory_order_acquire) < sent && !stop) {
                std::this_thread::yield();
            }
        }
    });
    for (auto _ : state) {
        const std::size_t before = target.received;
        while (target.received == before) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    stop = true;
    poster.join();
    state.counters["posts/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PostOneAtATime)->UseRealTime()->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
