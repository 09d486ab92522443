#include "scanner/CnxK740RXCtrlScannerGraph.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>
#include <tuple>

#include "GuiTestSupport.h"
#include "ScopeRun.h"
#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxK740RXDlgStoreSpectrumLabel.h"
#include "scanner/CnxMarkerStore.h"
#include "scanner/CnxScopePainter.h"
#include "scanner/CnxSweepCsv.h"
#include "scanner/ScopeView.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "unit/settings/TemporaryHome.h"

namespace {

using Graph = CnxK740RXCtrlScannerGraph;

// What the label dialog showed when it was answered.
struct DialogSeen {
    bool opened = false;
    QString caption;
    QString channel;
    QString comment;
};

// Answers the next label dialog: types the comment and presses OK, or cancels when the comment is
// null. The dialog is closed whatever happens, so a failing test cannot hang in it.
void AnswerNextDialog(DialogSeen* seen, const QString& comment) {
    QTimer::singleShot(0, [seen, comment] {
        auto* dialog =
            qobject_cast<CnxK740RXDlgStoreSpectrumLabel*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            AnswerNextDialog(seen, comment);  // not open yet
            return;
        }
        seen->opened = true;
        seen->caption = dialog->windowTitle();
        seen->channel = dialog->GetChannelText();
        seen->comment = dialog->GetCommentEdit()->text();
        if (comment.isNull()) {
            dialog->reject();
        } else {
            dialog->GetCommentEdit()->setText(comment);
            dialog->accept();
        }
    });
}

class ScannerGraph : public ::testing::Test {
protected:
    void SetUp() override {
        graph_.resize(1000, 320);
        graph_.show();
        ASSERT_TRUE(PumpUntil([this] { return View().GetAxis().GetPlot().width() > 100; }));
    }

    ScopeView& View() { return graph_.GetScopeView(); }
    CnxCtrlScopeView& Window() { return *graph_.GetScopeWindow(); }
    // A point in the plot window over a point of the graph, below where labels sit.
    QPoint OverPoint(int index) {
        const ScopeAxis& axis = View().GetAxis();
        return QPoint(int(axis.CentreX(index)), axis.GetPlot().bottom() - 5);
    }
    QAction* Item(int id) {
        for (QAction* action : graph_.GetContextMenu()->actions()) {
            if (!action->isSeparator() && action->data().toInt() == id) {
                return action;
            }
        }
        return nullptr;
    }
    // Whether each menu item is enabled, as '1' or '0': create, edit, delete, show/hide, delete
    // all, export markers, export sweep, import markers.
    std::string Enabled() {
        std::string flags;
        for (int id :
             {Graph::kMenuCreateMarker, Graph::kMenuEditMarker, Graph::kMenuDelete,
              Graph::kMenuShowHideMarkers, Graph::kMenuDeleteAllMarkers, Graph::kMenuExportMarkers,
              Graph::kMenuExportSweep, Graph::kMenuImportMarkers}) {
            flags += Item(id)->isEnabled() ? '1' : '0';
        }
        return flags;
    }
    // The graph shown as its controller shows a scan: a start from stopped is a new run, fed in
    // walk order.
    void Start() {
        if (!paused_) {
            run_.emplace(View(), uint16_t(runs_++));
        }
        graph_.ShowScan(Graph::kScanRunning, uint16_t(runs_ - 1));
        paused_ = false;
    }
    void Pause() {
        graph_.ShowScan(Graph::kScanPaused, uint16_t(runs_ - 1));
        paused_ = true;
    }
    void Stop() {
        graph_.ShowScan(Graph::kScanStopped, 0);
        paused_ = false;
    }
    void Add(double dbm) { run_->Add(dbm); }
    void Sweep(int levels, double dbm) { run_->Sweep(levels, dbm); }

    QApplication& app_ = EnsureQtApp();  // before any widget
    Graph graph_{nullptr, 2};
    std::optional<ScopeRun> run_;
    int runs_ = 1;
    bool paused_ = false;
};

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A marker file of `count` markers one kilohertz apart from `first` on.
QByteArray MarkerFile(int count, int64_t first) {
    QByteArray csv = QByteArray(CnxMarkerCsv::kHeader) + "\n";
    for (int i = 0; i < count; ++i) {
        csv += QByteArray::number(first + i * 1000) + ",,buoy " + QByteArray::number(i) + ",\n";
    }
    return csv;
}

// Answers the next file dialog: notes the folder it opened in, types the name and accepts.
void AnswerNextFileDialog(QString* openedIn, const QString& name) {
    AnswerNextModal<QFileDialog>([openedIn, name](QFileDialog* dialog) {
        *openedIn = dialog->directory().absolutePath();
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Answers the next message box with OK, keeping its text.
void AnswerNextMessageBox(QString* text) {
    AnswerNextModal<QMessageBox>([text](QMessageBox* box) {
        *text = box->text();
        box->accept();
    });
}

}  // namespace

TEST_F(ScannerGraph, TheShownRunsSamplesLandWhileScanningOrPausedAndNoneOnceStopped) {
    const ScanSample other = ScopeRun(View(), 4).Sample(4, -50.0);
    ScopeRun run(View(), 5);
    graph_.ShowScan(Graph::kScanStopped, 0);
    EXPECT_FALSE(graph_.AddLevel(run.Sample(3, -60.0)));  // stopped: none is taken

    graph_.ShowScan(Graph::kScanRunning, 5);
    EXPECT_TRUE(graph_.AddLevel(run.Sample(3, -60.0)));
    EXPECT_FALSE(graph_.AddLevel(other));  // another run's
    graph_.Clear();                        // does nothing while running
    EXPECT_EQ(Filled(View()), 1);

    // Paused, the read-out and the menu are free, and what the run still delivers lands.
    graph_.ShowScan(Graph::kScanPaused, 5);
    EXPECT_FALSE(graph_.IsRunning());
    EXPECT_TRUE(graph_.AddLevel(run.Sample(4, -70.0)));
    EXPECT_EQ(View().GetLevel(4), -70.0);
    EXPECT_FALSE(graph_.SetWalk(CnxScanStepper(140000000, 150000000, 375000)));  // a run is on

    // Stopped, a late sample of the run is dropped, and a new walk can be laid out.
    graph_.ShowScan(Graph::kScanStopped, 0);
    EXPECT_FALSE(graph_.AddLevel(run.Sample(5, -70.0)));
    EXPECT_TRUE(graph_.SetWalk(CnxScanStepper(140000000, 150000000, 375000)));
    EXPECT_EQ(View().GetPointCount(), 27);
    EXPECT_EQ(Filled(View()), 0);
    EXPECT_FALSE(graph_.SetWalk(CnxScanStepper(-1, 150000000, 375000)));
}

TEST_F(ScannerGraph, MenuItemsFollowWhatIsUnderTheCursorAndWhatExists) {
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(18)));
    EXPECT_EQ(Enabled(), "10000001");
    EXPECT_TRUE(Item(Graph::kMenuShowHideMarkers)->isChecked());
    EXPECT_EQ(graph_.GetMenuFrequency(), 142750000);
    EXPECT_EQ(graph_.GetSelectedMarker(), nullptr);

    TMarker* marker = graph_.CreateMarker(154000000, QStringLiteral("east"), 0x00ff00, false);
    ASSERT_NE(marker, nullptr);
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(48)));  // on its line
    EXPECT_EQ(Enabled(), "01111101");
    EXPECT_EQ(graph_.GetSelectedMarker(), marker);

    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(60)));  // elsewhere
    EXPECT_EQ(Enabled(), "10011101");
    EXPECT_EQ(graph_.GetSelectedMarker(), nullptr);

    // The check mark follows the show/hide value.
    graph_.MenuCommand(Graph::kMenuShowHideMarkers);
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(60)));
    EXPECT_FALSE(Item(Graph::kMenuShowHideMarkers)->isChecked());

    // With levels the sweep can be exported; while running no menu opens at all.
    Start();
    Add(-60.0);
    EXPECT_FALSE(graph_.PrepareContextMenu(OverPoint(60)));
    Pause();
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(60)));
    EXPECT_EQ(Enabled(), "10011111");
}

TEST_F(ScannerGraph, ShowHideLabelsIsTheSlotsOwnSetting) {
    const TemporaryHome home;
    CnxK740RXFileIniApp settings;
    settings.Receiver(2).showHideLabels = Graph::kMarkersHidden;
    graph_.SetSettings(&settings);
    EXPECT_FALSE(View().GetShowMarkers());
    graph_.MenuCommand(Graph::kMenuShowHideMarkers);
    EXPECT_EQ(settings.Receiver(2).showHideLabels, Graph::kMarkersShown);
    EXPECT_TRUE(View().GetShowMarkers());
    graph_.MenuCommand(Graph::kMenuShowHideMarkers);
    EXPECT_EQ(settings.Receiver(2).showHideLabels, Graph::kMarkersHidden);
    EXPECT_EQ(settings.Receiver(1).showHideLabels, Graph::kMarkersShown);  // another slot's
}

TEST_F(ScannerGraph, MarkersAreCreatedEditedAndDeletedThroughTheMenuAndDialog) {
    std::vector<int> counts;
    auto listening =
        graph_.OnMarkersChanged.Subscribe([&counts](void*, int count) { counts.push_back(count); });

    // Create on a point: the dialog names its channel; cancel adds nothing.
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(18)));
    DialogSeen seen;
    AnswerNextDialog(&seen, QString());
    graph_.MenuCommand(Graph::kMenuCreateMarker);
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, " Create Marker");
    EXPECT_EQ(seen.channel, "Channel 50");

    AnswerNextDialog(&seen, QStringLiteral("Buoy west"));
    graph_.MenuCommand(Graph::kMenuCreateMarker);
    ASSERT_EQ(View().GetMarkerCount(), 1);
    TMarker* marker = View().GetMarker(0);
    EXPECT_EQ(marker->GetLabelText(), "Ch.50, Buoy west");
    EXPECT_EQ(marker->GetRgb(), SnxScopeMarker::kDefaultRgb);

    // Edit through the menu: the dialog starts from the marker's comment.
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(18)));
    AnswerNextDialog(&seen, QString());
    graph_.MenuCommand(Graph::kMenuEditMarker);
    EXPECT_EQ(seen.caption, " Edit Marker");
    EXPECT_EQ(seen.comment, "Buoy west");
    AnswerNextDialog(&seen, QStringLiteral("Buoy north"));
    graph_.MenuCommand(Graph::kMenuEditMarker);
    EXPECT_EQ(marker->GetLabelText(), "Ch.50, Buoy north");

    // A double-click on the marker edits it too; elsewhere it does nothing.
    seen = {};
    AnswerNextDialog(&seen, QStringLiteral("by double-click"));
    SendMouse(Window(), QEvent::MouseButtonDblClick, OverPoint(18));
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(marker->GetComment(), "by double-click");

    // A marker in the gap has no channel; its dialog says so.
    graph_.CreateMarker(161500000, QString(), 0x00ff00, false);
    graph_.SelectMarker(View().GetMarker(1));
    AnswerNextDialog(&seen, QString());
    graph_.EditMarker();
    EXPECT_EQ(seen.channel, "Channel \"Unknown\"");

    // Delete the one under the cursor, then all; delete without a selection does nothing.
    graph_.CreateMarker(170000000, QString(), 0x00ff00, false);
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(18)));
    graph_.MenuCommand(Graph::kMenuDelete);
    EXPECT_EQ(View().GetMarkerCount(), 2);
    EXPECT_EQ(View().GetMarker(0)->GetFrequency(), 161500000);
    graph_.MenuCommand(Graph::kMenuDelete);
    EXPECT_EQ(View().GetMarkerCount(), 2);
    graph_.MenuCommand(Graph::kMenuDeleteAllMarkers);
    EXPECT_EQ(graph_.GetSelectedMarker(), nullptr);

    // Every change by the operator was told with the count; the cancelled ones were not.
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1, 2, 3, 2, 0}));
}

TEST_F(ScannerGraph, LevelsRepaintOnlyTheirBarsOnceATick) {
    // Watch the paints the plot window gets.
    struct PaintWatch : QObject {
        std::vector<QRect> paints;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                paints.push_back(static_cast<QPaintEvent*>(event)->rect());
            }
            return false;
        }
    } watch;
    Window().installEventFilter(&watch);
    Start();  // repaints everything once
    ASSERT_TRUE(PumpUntil([this] { return !Window().IsRepaintPending(); }));
    PumpFor(100ms);
    watch.paints.clear();

    Sweep(3, -60.0);
    ASSERT_TRUE(Window().IsRepaintPending());
    const QRect pending = Window().GetPendingRepaint();
    const QRect bars = View().GetAxis().SlotRect(0).united(View().GetAxis().SlotRect(2));
    EXPECT_EQ(pending, bars);
    EXPECT_LT(pending.width(), Window().width() / 10);

    ASSERT_TRUE(PumpUntil([&] { return !watch.paints.empty(); }));
    EXPECT_FALSE(Window().IsRepaintPending());
    for (const QRect& painted : watch.paints) {
        EXPECT_TRUE(bars.contains(painted)) << painted.x() << "," << painted.width();
    }

    // A redraw asked for by the controller covers everything, at the same tick.
    graph_.Redraw();
    Add(-60.0);
    EXPECT_EQ(Window().GetPendingRepaint(), Window().rect());
    ASSERT_TRUE(PumpUntil([&] { return !Window().IsRepaintPending(); }));

    // Hidden, nothing is scheduled.
    graph_.hide();
    Sweep(3, -60.0);
    EXPECT_FALSE(Window().IsRepaintPending());
    EXPECT_EQ(View().GetPosition(), 6);
    Window().removeEventFilter(&watch);
}

TEST_F(ScannerGraph, ChannelsAreLockedOutThroughTheMenuAndShowAsDimmedSlotsWithoutBars) {
    Start();
    Sweep(99, -60.0);
    Stop();
    std::vector<int> lockOuts;
    std::vector<int> unlocks;
    TmySubscriptions asked;
    asked.push_back(graph_.OnLockOutAsked.Subscribe(
        [&lockOuts](void*, int channel) { lockOuts.push_back(channel); }));
    asked.push_back(graph_.OnUnlockAsked.Subscribe(
        [&unlocks](void*, int channel) { unlocks.push_back(channel); }));
    const auto lockoutItems = [this] {
        std::string flags;
        for (int id : {Graph::kMenuLockOut, Graph::kMenuUnlock, Graph::kMenuUnlockAll}) {
            flags += Item(id)->isEnabled() ? '1' : '0';
        }
        return flags;
    };

    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(28)));  // channel 60
    EXPECT_EQ(Item(Graph::kMenuLockOut)->text(), "Lock Out Channel 60");
    EXPECT_EQ(lockoutItems(), "100");
    graph_.MenuCommand(Graph::kMenuLockOut);
    EXPECT_EQ(lockOuts, std::vector<int>{60});
    EXPECT_EQ(Filled(View()), 99) << "asked for, not done: the scan's owner decides";

    // The owner's walk with channel 60 locked out.
    CnxScanStepper walk;
    walk.SetLockedOut({28});
    ASSERT_TRUE(graph_.SetWalk(walk));
    EXPECT_FALSE(View().GetLevel(28));
    EXPECT_EQ(Filled(View()), 98);
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(28)));
    EXPECT_EQ(Item(Graph::kMenuUnlock)->text(), "Unlock Channel 60");
    EXPECT_EQ(lockoutItems(), "011");
    graph_.MenuCommand(Graph::kMenuUnlock);
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(29)));
    EXPECT_EQ(lockoutItems(), "101");
    graph_.MenuCommand(Graph::kMenuUnlockAll);
    EXPECT_EQ(unlocks, (std::vector<int>{60, 0}));

    // The read-out says so, and the picture keeps the slot dimmed, without a bar.
    SendMouse(Window(), QEvent::MouseMove, OverPoint(28));
    EXPECT_EQ(View().GetReadOut().level, "Signal Level: locked out");
    EXPECT_EQ(View().GetReadOut().channel, "Channel:  60");
    QImage page(800, 400, QImage::Format_RGB32);
    page.fill(Qt::red);
    graph_.DrawInto(page);
    const CnxScopePainter::Areas areas =
        CnxScopePainter::Layout(page.rect(), QFontMetrics(Window().font()));
    const ScopeAxis axis = View().AxisFor(areas.plot);
    const SnxScopeColours print = SnxScopeColours::Print();
    const int barY = int(CnxScopePainter::DepthY(areas.plot, 45.0));
    const int aboveBarY = int(CnxScopePainter::DepthY(areas.plot, 5.0));
    EXPECT_EQ(page.pixelColor(0, 0), print.background);
    EXPECT_EQ(page.pixelColor(int(axis.CentreX(27)), barY), print.level);
    EXPECT_EQ(page.pixelColor(int(axis.CentreX(27)), aboveBarY), print.plot);
    EXPECT_EQ(page.pixelColor(int(axis.CentreX(28)), barY), print.lockedOut);
    EXPECT_EQ(page.pixelColor(int(axis.CentreX(28)), aboveBarY), print.lockedOut);
}

TEST_F(ScannerGraph, MarkersAndTheSweepGoToFilesAndMarkersComeBack) {
    QTemporaryDir folder;
    graph_.CreateMarker(142750000, QStringLiteral("west"), 0x00ff00, false);
    graph_.CreateMarker(162250000, QStringLiteral("one"), 0xff0000, false);
    const QString markers = folder.filePath(QStringLiteral("markers.csv"));
    ASSERT_TRUE(graph_.ExportMarkers(markers));

    Graph other(nullptr, 5);
    int told = 0;
    auto listening = other.OnMarkersChanged.Subscribe([&told](void*, int) { ++told; });
    ASSERT_TRUE(other.ImportMarkers(markers));
    EXPECT_EQ(other.GetMarkers(), graph_.GetMarkers());
    EXPECT_FALSE(other.ImportMarkers(folder.filePath(QStringLiteral("absent.csv"))));

    // Markers kept for a radio replace what the graph had, without telling it as a change.
    other.SetMarkers({{150000000, QStringLiteral("kept"), 0x0000ff}});
    EXPECT_EQ(other.GetMarkers().size(), 1u);
    EXPECT_EQ(told, 1);

    Start();
    Sweep(5, -70.0);
    Stop();
    const QString sweep = folder.filePath(QStringLiteral("sweep.csv"));
    ASSERT_TRUE(graph_.ExportSweep(sweep));
    QFile file(sweep);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), CnxSweepCsv::Write(View()));
    EXPECT_FALSE(graph_.ExportSweep(folder.filePath(QStringLiteral("no/such/sweep.csv"))));
}

TEST_F(ScannerGraph, AGraphHoldsNoMoreMarkersThanAreKeptForTheRadio) {
    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("first.csv"));
    const QString second = folder.filePath(QStringLiteral("second.csv"));
    WriteFile(first, MarkerFile(800, 140000000));
    WriteFile(second, MarkerFile(800, 150000000));

    ASSERT_EQ(graph_.ImportMarkers(first)->markers.size(), 800u);
    const auto rest = graph_.ImportMarkers(second);
    ASSERT_TRUE(rest.has_value());
    EXPECT_EQ(rest->Summary(),
              "200 markers were imported.\n"
              "600 more markers were not imported: a graph holds at most 1000 markers.");
    EXPECT_EQ(View().GetMarkerCount(), SnxScopeMarker::kMaxMarkers);

    // Full: no marker is created, from the menu or otherwise.
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(60)));
    EXPECT_FALSE(Item(Graph::kMenuCreateMarker)->isEnabled());
    EXPECT_EQ(graph_.CreateMarker(150000000, QString(), 0x00ff00, true), nullptr);  // no dialog

    graph_.SelectMarker(View().GetMarker(0));
    graph_.DeleteMarker();
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(60)));
    EXPECT_TRUE(Item(Graph::kMenuCreateMarker)->isEnabled());
}

TEST_F(ScannerGraph, FileDialogsOpenInTheDocumentsFolderAndTheImportSaysWhatItLeft) {
    const TemporaryHome home;
    CnxK740RXFileIniApp settings;  // makes the settings folder
    graph_.SetSettings(&settings);
    const QString folder = QString::fromStdString(home.SettingsDir());
    EXPECT_EQ(graph_.GetFileFolder(), folder);

    // Export: a name typed without a suffix gets ".csv".
    graph_.CreateMarker(142750000, QStringLiteral("west"), 0x00ff00, false);
    QString openedIn;
    AnswerNextFileDialog(&openedIn, QStringLiteral("mine"));
    graph_.MenuCommand(Graph::kMenuExportMarkers);
    EXPECT_EQ(openedIn, folder);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/mine.csv")));

    Start();
    Add(-70.0);
    Stop();
    openedIn.clear();
    AnswerNextFileDialog(&openedIn, QStringLiteral("sweep"));
    graph_.MenuCommand(Graph::kMenuExportSweep);
    EXPECT_EQ(openedIn, folder);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/sweep.csv")));

    // Import of someone's file: what could be placed is taken, the rest is named.
    QByteArray theirs = QByteArray(CnxMarkerCsv::kHeader) + "\n154000000,,east,#ff0000\n";
    theirs += QByteArray("1500\0 00000,,cut by a zero byte,\n", 33);
    theirs += "999999999,,far above the band,\n";
    theirs += "142750000,,\"never closed,\n";
    theirs += "162250000,,after it,\n";
    WriteFile(folder + QStringLiteral("/theirs.csv"), theirs);
    QString summary;
    openedIn.clear();
    AnswerNextFileDialog(&openedIn, QStringLiteral("theirs.csv"));
    AnswerNextMessageBox(&summary);
    graph_.MenuCommand(Graph::kMenuImportMarkers);
    EXPECT_EQ(openedIn, folder);
    EXPECT_EQ(summary,
              "2 markers were imported.\n"
              "3 lines were skipped:\n"
              "    line 3: frequency is not a whole number of Hz\n"
              "    line 4: frequency outside 136–225 MHz\n"
              "    line 5: quote not closed");
    ASSERT_EQ(View().GetMarkerCount(), 3);
    EXPECT_EQ(View().GetMarker(1)->GetFrequency(), 154000000);
    EXPECT_EQ(View().GetMarker(2)->GetFrequency(), 162250000);
}

TEST_F(ScannerGraph, MenuItemsThatDoNotApplyLookGreyedAndTheOneUnderThePointerIsLit) {
    const SchemeApplied scheme;
    const TmyColorScheme& colours = TmyColorScheme::Default();
    ASSERT_TRUE(graph_.PrepareContextMenu(OverPoint(18)));  // no markers, no levels
    QMenu* menu = graph_.GetContextMenu();
    menu->popup(QPoint(100, 100));
    ASSERT_TRUE(PumpUntil([menu] { return menu->isVisible(); }));
    menu->setActiveAction(Item(Graph::kMenuCreateMarker));
    PumpFor(50ms);
    const QImage shot = menu->grab().toImage();
    const auto text = [&](int id) { return Brightest(shot, menu->actionGeometry(Item(id))); };
    const auto background = [&](int id) {
        const QRect item = menu->actionGeometry(Item(id));
        return shot.pixelColor(item.left() + 2, item.center().y());
    };

    EXPECT_EQ(background(Graph::kMenuCreateMarker), colours.focus);  // lit
    EXPECT_EQ(background(Graph::kMenuImportMarkers), colours.panel);
    const int enabled = text(Graph::kMenuImportMarkers);
    EXPECT_GE(enabled, colours.text.value() - 20);
    for (int id :
         {Graph::kMenuEditMarker, Graph::kMenuShowHideMarkers, Graph::kMenuDelete,
          Graph::kMenuDeleteAllMarkers, Graph::kMenuExportMarkers, Graph::kMenuExportSweep}) {
        EXPECT_LE(text(id), colours.textDisabled().value() + 10) << id;
        EXPECT_EQ(background(id), colours.panel) << id;
    }
    menu->hide();
}

TEST(ScannerGraphWindows, EachScopeWindowHasItsOwnName) {
    EnsureQtApp();
    Graph a(nullptr, 0);
    Graph b(nullptr, 1);
    EXPECT_TRUE(a.GetScopeWindow()->objectName().startsWith(QStringLiteral("SpectrumScope")));
    EXPECT_NE(a.GetScopeWindow()->objectName(), b.GetScopeWindow()->objectName());
}

namespace {

// The colours found along a row of an image between two x.
std::vector<QColor> Row(const QImage& image, int y, int from, int to) {
    std::vector<QColor> colours;
    for (int x = from; x <= to; ++x) {
        colours.push_back(image.pixelColor(x, y));
    }
    return colours;
}

TEST_F(ScannerGraph, TheThresholdLineAndTheActivityStripAreDrawnAndTheLineIsDragged) {
    const SnxScopeColours screen = SnxScopeColours::Screen();
    graph_.ShowThreshold(-95.0);
    graph_.ShowActivity(142750000, {3, 0, false});  // point 18: heard before
    graph_.ShowActivity(154000000, {1, 0, true});   // point 48: heard now
    PumpFor(100ms);
    const QImage picture = Window().grab().toImage();
    const CnxScopePainter::Areas areas =
        CnxScopePainter::Layout(Window().rect(), QFontMetrics(Window().font()));
    const ScopeAxis& axis = View().GetAxis();
    const int lineY = *CnxScopePainter::ThresholdY(areas.plot, View());
    EXPECT_EQ(lineY, int(std::lround(CnxScopePainter::DepthY(areas.plot, 55.0))));
    const auto line = Row(picture, lineY, areas.plot.left(), areas.plot.left() + 40);
    EXPECT_GT(std::count(line.begin(), line.end(), screen.threshold), 15) << "a dashed line";
    EXPECT_GT(std::count(line.begin(), line.end(), screen.plot), 5) << "with gaps";
    const int stripY = areas.activity.center().y();
    EXPECT_EQ(picture.pixelColor(int(axis.CentreX(48)), stripY), screen.level);
    const QColor before = picture.pixelColor(int(axis.CentreX(18)), stripY);
    EXPECT_NE(before, screen.level);
    EXPECT_NE(before, screen.background);
    EXPECT_GT(before.green(), before.red()) << "a fainter green";
    EXPECT_EQ(picture.pixelColor(int(axis.CentreX(30)), stripY), screen.background);

    // Dragged from the line, the graph asks for the level under the mouse and clicks nothing.
    std::vector<double> asked;
    std::vector<int64_t> clicked;
    auto asking =
        graph_.OnThresholdAsked.Subscribe([&asked](void*, double dbm) { asked.push_back(dbm); });
    auto clicking =
        graph_.OnClick.Subscribe([&clicked](void*, int64_t hertz) { clicked.push_back(hertz); });
    const int x = int(axis.CentreX(60));
    const int to = int(std::lround(CnxScopePainter::DepthY(areas.plot, 30.0)));
    SendDrag(Window(), QPoint(x, lineY + 2), QPoint(x, to));
    ASSERT_EQ(asked.size(), 1U);
    EXPECT_NEAR(asked[0], -70.0, 0.6);
    EXPECT_TRUE(clicked.empty());
    // Beyond the plot it asks for the scale's edge.
    SendDrag(Window(), QPoint(x, lineY), QPoint(x, Window().height() + 50));
    ASSERT_EQ(asked.size(), 2U);
    EXPECT_EQ(asked[1], -120.0);
    // A press away from the line is a click, not a drag.
    SendDrag(Window(), QPoint(x, lineY + 10), QPoint(x, lineY - 30));
    EXPECT_EQ(asked.size(), 2U);
    EXPECT_EQ(clicked, std::vector<int64_t>{View().GetPointFrequency(60)});

    // Paused, the read-out over point 18 tells its hits.
    Start();
    Add(-60.0);
    Pause();
    graph_.ShowActivity(142750000, {3, (14 * 3600 + 2 * 60 + 11) * 1000LL, false});
    SendMouse(Window(), QEvent::MouseMove, OverPoint(18));
    EXPECT_EQ(View().GetReadOut().activity, QStringLiteral("heard 3\u00d7, last 14:02:11"));
}

}  // namespace
