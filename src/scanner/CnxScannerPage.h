#pragma once
// One receiver slot's scan as the window shows it: the scanner control above its bar graph.
#include <QWidget>

#include "scanner/InxScanView.h"

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
    bool ShowWalk(const CnxScanStepper& walk) override;
    bool ShowSample(const ScanSample& sample) override;
    void ScrollBy(int points) override;

private:
    CnxK740RXCtrlScanner* scanner_;
    CnxK740RXCtrlScannerGraph* graph_;
};
