#include "scanner/CnxScannerPage.h"

#include <QVBoxLayout>

#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxK740RXDlgScanRange.h"
#include "scanner/ScopeView.h"
#include "settings/CnxScanStepper.h"

CnxScannerPage::CnxScannerPage(QWidget* parent, int slot)
    : QWidget(parent),
      scanner_(new CnxK740RXCtrlScanner(this, slot)),
      graph_(new CnxK740RXCtrlScannerGraph(this, slot)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(scanner_);
    layout->addWidget(graph_, 1);
    scanner_->ShowPlan(plan_, channels_);
    subscriptions_.push_back(
        scanner_->OnRangeClicked.Set([this](void*, int32_t) { AskForPlan(); }));
}

void CnxScannerPage::ShowScan(int32_t mode, uint16_t run) {
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
    return graph_->SetWalk(walk);
}

void CnxScannerPage::AskForPlan() {
    CnxK740RXDlgScanRange dialog(this, plan_, channels_);
    if (const std::optional<SnxScanPlan> chosen = dialog.Execute()) {
        OnPlanAsked.Raise(this, *chosen);
    }
}

bool CnxScannerPage::ShowSample(const ScanSample& sample) {
    return graph_->AddLevel(sample);
}

void CnxScannerPage::ScrollBy(int points) {
    ScopeView& view = graph_->GetScopeView();
    view.ScrollToIndex(view.GetFirstVisible() + points);
}
