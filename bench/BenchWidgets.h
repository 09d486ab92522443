#pragma once
// The main of a benchmark that measures widgets: the application on the offscreen platform unless
// a display is chosen, the benchmarks, then whatever the benchmark states besides its times.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& after = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (after) {
        after();
    }
    return 0;
}
