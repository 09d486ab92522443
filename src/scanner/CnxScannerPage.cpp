#include "scanner/CnxScannerPage.h"

#include <QVBoxLayout>

#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
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
    const ScopeView& view = graph_->GetScopeView();
    scanner_->SetRange(view.GetStart(), view.GetEnd(), view.GetStep());
}

void CnxScannerPage::ShowScan(int32_t mode, uint16_t run) {
    scanner_->ShowMode(mode);
    graph_->ShowScan(mode, run);
}

void CnxScannerPage::ShowLoop(bool loop) {
    scanner_->ShowLoop(loop ? 1 : 0);
}

bool CnxScannerPage::ShowWalk(const CnxScanStepper& walk) {
    if (!graph_->SetWalk(walk)) {
        return false;
    }
    scanner_->SetRange(walk.GetLower(), walk.GetUpper(), walk.GetStep());
    return true;
}

bool CnxScannerPage::ShowSample(const ScanSample& sample) {
    return graph_->AddLevel(sample);
}

void CnxScannerPage::ScrollBy(int points) {
    ScopeView& view = graph_->GetScopeView();
    view.ScrollToIndex(view.GetFirstVisible() + points);
}
