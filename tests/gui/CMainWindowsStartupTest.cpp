// The main window's start and end as the operator meets them: the ready poll's period, closing
// while it starts, the saved placement, the window's smallest size, help and the icon.
#include "MainWindowFixture.h"
#include "app/CnxWindowPlacement.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/CnxK740RXDlgHelp.h"
#include "app/CnxK740RXDlgSplash.h"

namespace {

TEST_F(MainWindowTest, AnITimeThatIsNotANumberPollsAtOnceAndTheWindowsCarryTheIcon) {
    g_optITime = {true, 0};  // what "-itime=abc" leaves
    Start();
    EXPECT_TRUE(window_->IsReady());
    EXPECT_FALSE(window_->windowIcon().pixmap(16, 16).isNull());
    // Windows without an icon of their own take the program's.
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
}

bool AnySplashLeft() {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::any_of(all.begin(), all.end(), [](QWidget* widget) {
        return dynamic_cast<CnxK740RXDlgSplash*>(widget) != nullptr;
    });
}

TEST_F(MainWindowTest, ACloseBeforeTheDeferredStartFinishesTheSplash) {
    g_optNSplash.present = false;
    g_optITime = {true, 10};
    window_ = std::make_unique<CMainWindows>(app_);
    ASSERT_TRUE(window_->IsInitOk());
    window_->Build();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsReady(); }));
    ASSERT_TRUE(AnySplashLeft()) << "the deferred start came first";
    // Every text the start-up window shows while the test waits, sampled from the window thread.
    QStringList texts;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* splash = dynamic_cast<CnxK740RXDlgSplash*>(widget)) {
                texts.append(splash->Text());
            }
        }
    });
    watch.start(5);
    window_->close();
    ASSERT_TRUE(PumpUntil([&] { return app_.IsQuitRequested(); }, 60s));
    EXPECT_TRUE(texts.contains("Finish")) << texts.join('|').toStdString();
    EXPECT_FALSE(AnySplashLeft());
    EXPECT_FALSE(window_->isVisible());
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
    std::ofstream(ini) << mine.constData();
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);

    Start();
    window_->Listening().SetVolume(5);
    ASSERT_TRUE(PumpUntil([&] { return !VisibleBoxes(*window_).isEmpty(); }, 30s));
    QMessageBox* box = VisibleBoxes(*window_).front();
    EXPECT_TRUE(box->text().contains(QString::fromStdString(ini.string())) &&
                box->text().contains("Permission denied"))
        << box->text().toStdString();
    EXPECT_FALSE(box->isModal());
    box->close();

    // Told once: further changes that cannot be saved either do not ask again.
    window_->Listening().SetVolume(6);
    PumpFor(7s);
    EXPECT_TRUE(VisibleBoxes(*window_).isEmpty());
    window_.reset();
    EXPECT_EQ(IniText().toUtf8(), mine);
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(MainWindowTest, ASaveThatFailsAgainAfterOneThatWorkedIsToldAgain) {
    // A folder where the settings file goes: no save gets through, root or not.
    Start();
    const QString ini = home_.path() + "/Documents/Quorvant/K740RX/K740RX.ini";
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir().mkdir(ini));
    for (int episode = 1; episode <= 2; ++episode) {
        window_->Listening().SetVolume(10 + episode);
        ASSERT_TRUE(PumpUntil([&] { return !VisibleBoxes(*window_).isEmpty(); }, 30s)) << episode;
        QMessageBox* box = VisibleBoxes(*window_).front();
        EXPECT_EQ(box->windowTitle(), " Settings not saved");
        EXPECT_TRUE(box->text().contains("(Is a directory)")) << box->text().toStdString();
        box->close();
        // The way is free again: the next change is saved while the program runs (so an end
        // without a shutdown keeps it), and the episode is over.
        ASSERT_TRUE(QDir().rmdir(ini));
        window_->Listening().SetVolume(20 + episode);
        ASSERT_TRUE(PumpUntil([&] { return IniText().contains("Volume=2"); }, 30s));
        ASSERT_TRUE(QFile::remove(ini));
        ASSERT_TRUE(QDir().mkdir(ini));
    }
}

// The visible controls that got less room than they need to show what they hold.
QStringList SqueezedControls(const QWidget& window) {
    QStringList squeezed;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        // What the control asks for, unless its author set a smaller minimum or maximum.
        const QSize hint = w->minimumSizeHint();
        const QSize need = QSize(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
                                 w->minimumHeight() > 0 ? w->minimumHeight() : hint.height())
                               .boundedTo(w->maximumSize());
        // A control that gives up room on purpose cuts its own text (with an ellipsis).
        const bool yields = w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored;
        if (w->isVisible() && !yields &&
            (w->width() < need.width() || w->height() < need.height())) {
            squeezed << QStringLiteral("%1 %2x%3 < %4x%5")
                            .arg(w->metaObject()->className())
                            .arg(w->width())
                            .arg(w->height())
                            .arg(need.width())
                            .arg(need.height());
        }
    }
    return squeezed;
}

// With the longest channel text shown, too.
TEST_F(MainWindowTest, AtItsSmallestSizeEveryControlHasTheRoomItNeeds) {
    Start();
    EXPECT_TRUE(SqueezedControls(*window_).isEmpty())
        << "at the start: " << SqueezedControls(*window_).join(", ").toStdString();
    window_->Tuning().SetChannelMode(false);
    window_->Tuning().FrequencySet(0, 161500000);
    window_->resize(1, 1);
    window_->layout()->activate();
    EXPECT_EQ(window_->size(), window_->minimumSize());
    EXPECT_TRUE(SqueezedControls(*window_).isEmpty())
        << SqueezedControls(*window_).join(", ").toStdString();
    QLabel* channel = nullptr;
    for (QLabel* label : window_->TuningPanel().BandDisplay().findChildren<QLabel*>()) {
        if (label->text() == "Channel Undefined") {
            channel = label;
        }
    }
    ASSERT_NE(channel, nullptr);
    EXPECT_GE(channel->contentsRect().width(),
              channel->fontMetrics().horizontalAdvance(channel->text()));
    EXPECT_TRUE(channel->visibleRegion().boundingRect().width() >= channel->width());
    // The overview of all eight receivers, too.
    Key(Qt::Key_F2);
    PumpFor(100ms);  // the tiles' own layouts
    window_->layout()->activate();
    EXPECT_EQ(window_->size(), window_->minimumSize());
    EXPECT_TRUE(SqueezedControls(*window_).isEmpty())
        << "overview: " << SqueezedControls(*window_).join(", ").toStdString();
}

// The amplifier is always on; its switch says so and stays on whatever asks otherwise.
TEST_F(MainWindowTest, TheRFAmplifierSwitchShowsItOnWhateverIsAsked) {
    WriteRadios(true);
    Start();
    QPushButton* amplifier = Switch("RF Amp");
    ASSERT_NE(amplifier, nullptr);
    amplifier->click();
    window_->Tuning().SetRFAmplifier(false, true);
    EXPECT_EQ(window_->Settings().Current().preamp, 1);
    amplifier->setChecked(false);  // as something else might do to the widget
    window_->Tuning().SetRFAmplifier(false);
    EXPECT_TRUE(amplifier->isChecked());
}

// Where the desktop cannot launch a browser, F1 still opens the manual, in the program's own
// window.
TEST_F(MainWindowTest, F1OpensTheManualEvenWithoutADesktopBrowser) {
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", "/nonexistent");
    qunsetenv("BROWSER");
    Start();
    Key(Qt::Key_F1);
    CnxK740RXDlgHelp* help = window_->HelpWindow();
    qputenv("PATH", path);
    if (!browser.isEmpty()) {
        qputenv("BROWSER", browser);
    }
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Page().fileName(), "index.html");
    // A link of the manual is followed inside the window.
    auto* browserView = help->findChild<QTextBrowser*>();
    ASSERT_NE(browserView, nullptr);
    emit browserView->anchorClicked(QUrl("keyboard.html"));
    EXPECT_EQ(help->Page().fileName(), "keyboard.html");
    EXPECT_TRUE(browserView->toPlainText().contains("F1")) << "the keyboard page lists F1";
}

TEST_F(MainWindowTest, ASavedPlacementIsFittedToTheScreen) {
    Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto apply = [&](int left, int top, int right, int bottom) {
        window_->Settings().Placement() = {44, 0, 1, 0, 0, 0, 0, left, top, right, bottom};
        window_->ApplySavedPlacement();
        return window_->geometry();
    };
    // Far off every screen, and far larger than any.
    QRect shown = apply(50000, 50000, 150000, 150000);
    EXPECT_TRUE(shown.intersects(screen)) << shown.x() << "," << shown.y();
    EXPECT_LE(shown.width(), std::max(screen.width(), window_->minimumWidth()));
    EXPECT_LE(shown.height(), std::max(screen.height(), window_->minimumHeight()));
    // Smaller than the layout allows.
    shown = apply(0, 0, 100, 100);
    EXPECT_EQ(shown.size(), window_->minimumSize());
    // Numbers no screen has.
    shown = apply(-2147483647, -2147483647, 2147483647, 2147483647);
    EXPECT_TRUE(shown.intersects(screen));
    // Nothing saved: the first window, sized to the screen.
    window_->Settings().Placement() = {};
    window_->ApplySavedPlacement();
    EXPECT_EQ(window_->geometry(), CnxWindowPlacement::First(window_->minimumSize(), screen));
}

}  // namespace
