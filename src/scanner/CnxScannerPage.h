#pragma once
// One receiver slot's scan as the window shows it: the scanner control above its bar graph. A
// click on the range opens the range dialog over the plan last shown; what the operator chose
// there is asked of the plan's owner (OnPlanAsked).
#include <QWidget>

#include "core/TmyEvents.h"
#include "scanner/InxScanView.h"
#include "settings/SnxScanPlan.h"

class CnxK740RXCtrlScanner;
class CnxK740RXCtrlScannerGraph;

class CnxScannerPage : public QWidget, public InxScanView {
    Q_OBJECT
public:
    CnxScannerPage(QWidget* parent, int slot);

    CnxK740RXCtrlScanner& Scanner() const { return *scanner_; }
    CnxK740RXCtrlScannerGraph& Graph() const { return *graph_; }

    void ShowScan(int32_t mode, uint16_t run) override;
    void ShowLoop(bool loop) override;
    void ShowPlan(const SnxScanPlan& plan, bool channels) override;
    bool ShowWalk(const CnxScanStepper& walk) override;
    bool ShowSample(const ScanSample& sample) override;
    void ScrollBy(int points) override;

    // Opens the range dialog; the plan chosen there is asked for.
    void AskForPlan();

    TmyEventList<const SnxScanPlan&> OnPlanAsked;

private:
    CnxK740RXCtrlScanner* scanner_;
    CnxK740RXCtrlScannerGraph* graph_;
    SnxScanPlan plan_;
    bool channels_ = true;
    TmySubscriptions subscriptions_;
};
