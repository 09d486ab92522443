// The main window's start and end as the operator meets them: the ready poll's period, closing
// while it starts, the saved placement, the window's smallest size, help and the icon.
#include "MainWindowFixture.h"

#include <QTimer>
#include <algorithm>

#include "app/CnxK740RXDlgSplash.h"

namespace {

TEST_F(MainWindowTest, AnITimeThatIsNotANumberPollsForReadinessAtOnce) {
    qunsetenv("QVK740RX_SIM");
    g_optITime = {true, 0};  // what "-itime=abc" leaves
    Start();
    EXPECT_TRUE(window_->IsReady());
}

// Every text the start-up window shows while the test waits, sampled from the window thread.
class SplashWatch {
public:
    SplashWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* splash = dynamic_cast<CnxK740RXDlgSplash*>(widget)) {
                    texts_.append(splash->Text());
                }
            }
        });
        timer_.start(5);
    }
    const QStringList& Texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

bool AnySplashLeft() {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::any_of(all.begin(), all.end(), [](QWidget* widget) {
        return dynamic_cast<CnxK740RXDlgSplash*>(widget) != nullptr;
    });
}

TEST_F(MainWindowTest, ACloseBeforeTheDeferredStartFinishesTheSplash) {
    qunsetenv("QVK740RX_SIM");
    g_optNSplash.present = false;
    g_optITime = {true, 10};
    window_ = std::make_unique<CMainWindows>(app_);
    ASSERT_TRUE(window_->IsInitOk());
    window_->Build();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsReady(); }));
    ASSERT_TRUE(AnySplashLeft()) << "the deferred start came first";
    SplashWatch watch;
    window_->close();
    ASSERT_TRUE(PumpUntil([&] { return app_.IsQuitRequested(); }, 60s));
    EXPECT_TRUE(watch.Texts().contains("Finish")) << watch.Texts().join('|').toStdString();
    EXPECT_FALSE(AnySplashLeft());
    EXPECT_FALSE(window_->isVisible());
}

}  // namespace
