// What handing a message to the window thread costs: posting from worker threads and draining
// on the window thread, in posting order.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>

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
    std::size_t received = 0;

protected:
    void OnWindowMessage(const TmyMessage&) override { ++received; }
};

void BM_PostAndDrain(benchmark::State& state) {
    App();
    Counter target;
    const int threads = int(state.range(0));
    constexpr int kBatch = 10000;
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
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        for (auto& poster : posters) {
            poster.join();
        }
    }
    const double posts = double(state.iterations()) * kBatch * threads;
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

}  // namespace

BENCHMARK_MAIN();
