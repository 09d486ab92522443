#include "scanner/CnxScannerPage.h"

#include <QAction>
#include <QDateTime>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QSplitter>
#include <QVBoxLayout>

#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxK740RXDlgScanRange.h"
#include "scanner/CnxSweepHistoryCsv.h"
#include "scanner/ScopeView.h"
#include "settings/CnxScanStepper.h"

namespace {
// The graph takes five parts of the height to the history's two, and most of any growth.
constexpr int kGraphShare = 5;
constexpr int kHistoryShare = 2;
const QString kExportCaption = QStringLiteral("Export Sweep History");
}  // namespace

CnxScannerPage::CnxScannerPage(QWidget* parent, int slot)
    : QWidget(parent),
      scanner_(new CnxK740RXCtrlScanner(this, slot)),
      graph_(new CnxK740RXCtrlScannerGraph(this, slot)) {
    split_ = new QSplitter(Qt::Vertical, this);
    split_->setChildrenCollapsible(false);
    split_->addWidget(graph_);
    split_->addWidget(BuildHistoryPanel());
    split_->setStretchFactor(0, kGraphShare);
    split_->setStretchFactor(1, kHistoryShare);
    connect(split_, &QSplitter::splitterMoved, this, &CnxScannerPage::SplitMoved);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(scanner_);
    layout->addWidget(split_, 1);
    scanner_->ShowPlan(plan_, channels_);
    subscriptions_.push_back(
        scanner_->OnRangeClicked.Set([this](void*, int32_t) { AskForPlan(); }));
    connect(graph_->GetScopeWindow(), &CnxCtrlScopeView::VisiblePartMoved, history_,
            &CnxCtrlSweepHistory::FollowVisiblePart);
    BuildMenus();
}

QWidget* CnxScannerPage::BuildHistoryPanel() {
    // Framed as the graph is, so that its cells line up under the bars.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panel"));
    history_ = new CnxCtrlSweepHistory(panel, graph_->GetScopeView());
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(history_);
    return panel;
}

void CnxScannerPage::BuildMenus() {
    clear_ = new QAction(QStringLiteral("Clear Levels and History"), this);
    clear_->setToolTip(QStringLiteral("Forgets the graph's levels and the sweep history"));
    connect(clear_, &QAction::triggered, this, &CnxScannerPage::ClearLevels);
    exportHistory_ = new QAction(QStringLiteral("Export sweep history\u2026"), this);
    connect(exportHistory_, &QAction::triggered, this, &CnxScannerPage::AskAndExportHistory);
    QMenu* graphMenu = graph_->GetContextMenu();
    graphMenu->addSeparator();
    graphMenu->addAction(clear_);
    graphMenu->addAction(exportHistory_);
    historyMenu_ = new QMenu(this);
    historyMenu_->addAction(exportHistory_);
    historyMenu_->addAction(clear_);
    history_->SetContextMenu(historyMenu_);
    for (QMenu* menu : {graphMenu, historyMenu_}) {
        connect(menu, &QMenu::aboutToShow, this, &CnxScannerPage::UpdateMenus);
    }
}

void CnxScannerPage::UpdateMenus() {
    clear_->setEnabled(!graph_->IsRunning());
    exportHistory_->setEnabled(history_->GetHistory().GetRowCount() > 0);
}

void CnxScannerPage::ShowScan(int32_t mode, uint16_t run) {
    if (mode == kModeStop) {
        history_->EndSweep();
    }
    scanner_->ShowMode(mode);
    graph_->ShowScan(mode, run);
}

void CnxScannerPage::ShowLoop(bool loop) {
    scanner_->ShowLoop(loop ? 1 : 0);
}

void CnxScannerPage::ShowPlan(const SnxScanPlan& plan, bool channels) {
    plan_ = plan;
    channels_ = channels;
    scanner_->ShowPlan(plan, channels);
}

bool CnxScannerPage::ShowWalk(const CnxScanStepper& walk) {
    const bool samePoints = walk.SameRange(graph_->GetScopeView().GetWalk());
    if (!graph_->SetWalk(walk)) {
        return false;
    }
    if (!samePoints) {
        history_->RestartWith(walk.GetPointCount());
    }
    return true;
}

void CnxScannerPage::AskForPlan() {
    CnxK740RXDlgScanRange dialog(this, plan_, channels_);
    if (const std::optional<SnxScanPlan> chosen = dialog.Execute()) {
        OnPlanAsked.Raise(this, *chosen);
    }
}

bool CnxScannerPage::ShowSample(const ScanSample& sample) {
    if (!graph_->AddLevel(sample)) {
        return false;
    }
    history_->AddSample(sample, QDateTime::currentMSecsSinceEpoch());
    return true;
}

void CnxScannerPage::ScrollBy(int points) {
    ScopeView& view = graph_->GetScopeView();
    view.ScrollToIndex(view.GetFirstVisible() + points);
}

void CnxScannerPage::ClearLevels() {
    if (graph_->IsRunning()) {
        return;
    }
    graph_->Clear();
    history_->Clear();
}

bool CnxScannerPage::ExportHistory(const QString& path) const {
    return CnxSweepHistoryCsv::Export(path, history_->GetHistory(), graph_->GetScopeView());
}

void CnxScannerPage::AskAndExportHistory() {
    const QString path = graph_->AskForFile(kExportCaption, true);
    if (!path.isEmpty() && !ExportHistory(path)) {
        QMessageBox::warning(this, kExportCaption,
                             QStringLiteral("The file %1 could not be written.").arg(path));
    }
}

QList<int> CnxScannerPage::GetSplit() const {
    return split_->sizes();
}

void CnxScannerPage::SetSplit(const QList<int>& heights) {
    split_->setSizes(heights);
}
