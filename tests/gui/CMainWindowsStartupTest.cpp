// The main window's start and end as the operator meets them: the ready poll's period, closing
// while it starts, the saved placement, the window's smallest size, help and the icon.
#include "MainWindowFixture.h"

#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <filesystem>

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

TEST_F(MainWindowTest, ChangedSettingsReachTheFileWhileTheProgramRuns) {
    WriteRadios(true);
    Start();
    window_->SetVolume(5);
    // Long before the program ends, so an end without a shutdown keeps the change.
    EXPECT_TRUE(PumpUntil([&] { return IniText().contains("\nVolume=5\n"); }, 30s))
        << IniText().toStdString();
}

QList<QMessageBox*> VisibleBoxes(const QWidget& window) {
    QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>();
    boxes.removeIf([](const QMessageBox* box) { return !box->isVisible(); });
    return boxes;
}

TEST_F(MainWindowTest, AReadOnlySettingsFileIsKeptAndTheOperatorToldOnce) {
    namespace fs = std::filesystem;
    WriteRadios(true);
    const fs::path folder = home_.path().toStdString() + "/Documents/Quorvant/K740RX";
    fs::create_directories(folder);
    const fs::path ini = folder / "K740RX.ini";
    const QByteArray mine = "[MAIN]\nWP_Length=0\n; my own, do not touch\n";
    {
        QFile file(QString::fromStdString(ini.string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(mine);
    }
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);

    Start();
    window_->SetVolume(5);
    ASSERT_TRUE(PumpUntil([&] { return !VisibleBoxes(*window_).isEmpty(); }, 30s));
    QMessageBox* box = VisibleBoxes(*window_).front();
    EXPECT_TRUE(box->text().contains(QString::fromStdString(ini.string())))
        << box->text().toStdString();
    EXPECT_TRUE(box->text().contains("Permission denied")) << box->text().toStdString();
    EXPECT_FALSE(box->isModal());
    box->close();

    // Told once: further changes that cannot be saved either do not ask again.
    window_->SetVolume(6);
    PumpFor(7s);
    EXPECT_TRUE(VisibleBoxes(*window_).isEmpty());
    window_.reset();
    EXPECT_EQ(IniText().toUtf8(), mine);
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

}  // namespace
