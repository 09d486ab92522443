// The sweep history as the operator sees it on a screen: the program in demo mode on a virtual X
// display, a loop scan started with the space bar, screenshots taken as it runs. After three
// sweeps the history under the graph holds three rows, and in each the demo sonobuoys' channels
// 1, 50 and 80 stand out hot from the floor.
#include <gtest/gtest.h>

#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "ProgramProcess.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/CnxSweepColourMap.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"

namespace {

// A tool of the X display's, run to its end; what it printed.
QByteArray RunOn(const QString& display, const QString& tool, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

struct HistorySeen {
    int rows = 0;
    std::vector<std::set<int>> hotChannels;  // per row, newest first
};

// The sweep history found in a screenshot by its colours alone: the lines where a long run of
// pixels takes colours of the colour map are its rows' lines (the legend beside it is narrow).
// Within a row, the run spans the plot: a hot pixel's place along it gives its point.
HistorySeen ReadHistory(const QImage& shot) {
    std::map<QRgb, int> steps;
    for (int step = 0; step < CnxSweepColourMap::kSteps; ++step) {
        steps.emplace(CnxSweepColourMap::Table()[std::size_t(step)] | 0xff000000u, step);
    }
    // The longest run of colour-map pixels on a line: its first pixel and its length.
    const auto longestRun = [&](int y) {
        std::pair<int, int> best{0, 0};
        int start = -1;
        for (int x = 0; x <= shot.width(); ++x) {
            const bool mapped = x < shot.width() && steps.count(shot.pixel(x, y) | 0xff000000u);
            if (mapped && start < 0) {
                start = x;
            } else if (!mapped && start >= 0) {
                best = std::max(best, {x - start, start},
                                [](auto a, auto b) { return a.first < b.first; });
                start = -1;
            }
        }
        return std::pair<int, int>{best.second, best.first};
    };
    constexpr int kLongRun = 300;
    int top = 0;
    while (top < shot.height() && longestRun(top).second < kLongRun) {
        ++top;
    }
    int bottom = top;
    while (bottom < shot.height() && longestRun(bottom).second >= kLongRun) {
        ++bottom;
    }
    HistorySeen seen;
    seen.rows = (bottom - top) / CnxCtrlSweepHistory::kRowHeight;
    const CnxScanStepper walk(CnxChannelPlan::kLowerLimit, CnxChannelPlan::kUpperLimit,
                              CnxChannelPlan::kSpacing);
    const int hot = CnxSweepColourMap::StepOf(-950);
    for (int row = 0; row < seen.rows; ++row) {
        const int y = top + row * CnxCtrlSweepHistory::kRowHeight + 1;
        const auto [left, width] = longestRun(y);
        std::set<int> channels;
        for (int x = left; x < left + width; ++x) {
            if (steps.at(shot.pixel(x, y) | 0xff000000u) >= hot) {
                // The point whose cell holds the pixel's centre.
                const int point = int((x - left + 0.5) * walk.GetPointCount() / width);
                channels.insert(CnxChannelPlan::ChannelOf(walk.GetPointFrequency(point))->number);
            }
        }
        seen.hotChannels.push_back(channels);
    }
    return seen;
}

TEST(HistoryScreenshot, ThreeSweepsOfADemoLoopScanAreThreeRowsWithTheSonobuoysHot) {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
            << tool << " (installed by scripts/install-deps) is missing";
    }
    App();
    Folders dirs;
    XServer x(QStringLiteral("1280x800x24"));
    ASSERT_FALSE(x.Display().isEmpty());
    Program program(dirs.home.path(), dirs.runtime.path());
    program.SetEnvironment("QT_QPA_PLATFORM", "xcb");
    program.SetEnvironment("DISPLAY", x.Display());
    ASSERT_TRUE(program.StartShown()) << program.Output().toStdString();

    const QString window =
        QString::fromLatin1(RunOn(x.Display(), "xdotool",
                                  {"search", "--sync", "--onlyvisible", "--name", "^K740RX"}))
            .section('\n', 0, 0);
    ASSERT_FALSE(window.isEmpty());
    RunOn(x.Display(), "xdotool", {"mousemove", "0", "0"});  // no tooltip over the history
    RunOn(x.Display(), "xdotool", {"windowfocus", "--sync", window});
    RunOn(x.Display(), "xdotool", {"key", "space"});

    // Screenshots until three sweeps are over; the rows come one by one, a sweep apiece.
    std::set<int> rowsSeen;
    HistorySeen seen;
    QImage shot;
    QElapsedTimer waited;
    waited.start();
    while (seen.rows < 3 && waited.elapsed() < 90000) {
        shot = QImage::fromData(RunOn(x.Display(), "import", {"-window", "root", "png:-"}), "PNG");
        ASSERT_FALSE(shot.isNull());
        seen = ReadHistory(shot.convertToFormat(QImage::Format_RGB32));
        rowsSeen.insert(seen.rows);
    }
    QTemporaryDir keep;
    keep.setAutoRemove(false);
    const QString saved = keep.filePath("history.png");
    ASSERT_EQ(seen.rows, 3) << "screenshot: " << (shot.save(saved) ? saved.toStdString() : "");
    EXPECT_EQ(rowsSeen, (std::set<int>{0, 1, 2, 3}));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(seen.hotChannels[std::size_t(row)], (std::set<int>{1, 50, 80}))
            << "row " << row << "; screenshot: " << (shot.save(saved) ? saved.toStdString() : "");
    }
    keep.setAutoRemove(true);
    EXPECT_TRUE(program.EndInOrder()) << program.Output().toStdString();
}

}  // namespace
