#pragma once
// One receiver slot's scan as the window shows it: the scanner control above its bar graph, and
// under the graph, in a splitter, the history of its sweeps. The graph's menu and the history's
// own carry what concerns both: clearing them together and exporting the history. A click on the
// range opens the range dialog over the plan last shown; what the operator chose there is asked of
// the plan's owner (OnPlanAsked).
#include <QList>
#include <QWidget>

#include "core/TmyEvents.h"
#include "scanner/InxScanView.h"
#include "settings/SnxScanPlan.h"

class CnxCtrlSweepHistory;
class CnxK740RXCtrlScanner;
class CnxK740RXCtrlScannerGraph;
class QAction;
class QMenu;
class QSplitter;

class CnxScannerPage : public QWidget, public InxScanView {
    Q_OBJECT
public:
    CnxScannerPage(QWidget* parent, int slot);

    CnxK740RXCtrlScanner& Scanner() const { return *scanner_; }
    CnxK740RXCtrlScannerGraph& Graph() const { return *graph_; }
    CnxCtrlSweepHistory& History() const { return *history_; }

    void ShowScan(int32_t mode, uint16_t run) override;
    void ShowLoop(bool loop) override;
    void ShowPlan(const SnxScanPlan& plan, bool channels) override;
    bool ShowWalk(const CnxScanStepper& walk) override;
    bool ShowSample(const ScanSample& sample) override;
    void ScrollBy(int points) override;

    // The levels of the graph and the rows of the history, unless the scan runs.
    void ClearLevels();
    // False when the file cannot be written.
    bool ExportHistory(const QString& path) const;
    // The menu items both menus carry.
    QAction* ClearAction() const { return clear_; }
    QAction* ExportHistoryAction() const { return exportHistory_; }

    // The heights of the graph and the history; the operator moves them with the splitter.
    QList<int> GetSplit() const;
    void SetSplit(const QList<int>& heights);

    // Opens the range dialog; the plan chosen there is asked for.
    void AskForPlan();

    TmyEventList<const SnxScanPlan&> OnPlanAsked;

signals:
    void SplitMoved();

private:
    QWidget* BuildHistoryPanel();
    void BuildMenus();
    void UpdateMenus();
    void AskAndExportHistory();

    CnxK740RXCtrlScanner* scanner_;
    CnxK740RXCtrlScannerGraph* graph_;
    CnxCtrlSweepHistory* history_ = nullptr;
    QSplitter* split_ = nullptr;
    QAction* clear_ = nullptr;
    QAction* exportHistory_ = nullptr;
    QMenu* historyMenu_ = nullptr;
    SnxScanPlan plan_;
    bool channels_ = true;
    TmySubscriptions subscriptions_;
};
