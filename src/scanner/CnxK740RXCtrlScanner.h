#pragma once
// The scan control of one receiver slot: the scan buttons, the loop toggle, the sweep's state and
// the range it covers. It holds no scan logic: it shows the mode, loop setting and plan its
// controller gives it, and tells the controller which command the operator gave (OnScanCommand
// with the mode: 1 scan, 3 pause, 4 stop), which loop setting was asked for (OnLoopChanged: 1
// repeat the sweep, 0 stop after one pass) and that the range was clicked (OnRangeClicked).
#include <QFrame>

#include "core/TmyEvents.h"
#include "ui/CnxCtrlElidedButton.h"

class CnxK7RCtrlScanButtons;
class QLabel;
struct SnxScanPlan;

class CnxK740RXCtrlScanner : public QFrame {
    Q_OBJECT
public:
    CnxK740RXCtrlScanner(QWidget* parent, int slot);

    void SetSlotIndex(int slot) { slot_ = slot; }
    int GetSlotIndex() const { return slot_; }

    // What the control shows; nothing is told.
    void ShowMode(int32_t mode);
    int32_t GetMode() const;
    void ShowLoop(int32_t loop);
    int32_t GetLoop() const;

    // The range shown beside the buttons, in channels when asked and both edges are channels,
    // with the step, how many channels of it are locked out and the priority channel.
    void ShowPlan(const SnxScanPlan& plan, bool channels);
    static QString PlanText(const SnxScanPlan& plan, bool channels);

    CnxK7RCtrlScanButtons* GetButtons() const { return buttons_; }
    QPushButton* GetRangeButton() const { return range_; }
    QString GetStateText() const;
    QString GetRangeText() const;

    QSize sizeHint() const override { return {586, 50}; }

    TmyEventSlot<int32_t> OnScanCommand;
    TmyEventSlot<int32_t> OnLoopChanged;
    TmyEventSlot<int32_t> OnRangeClicked;

private:
    void ModeAsked(void* sender, int32_t mode, std::intptr_t extra);
    void LoopAsked(void* sender, int32_t loop, std::intptr_t extra);
    void ShowState();

    int slot_;
    CnxK7RCtrlScanButtons* buttons_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* state_ = nullptr;
    CnxCtrlElidedButton* range_ = nullptr;
    TmySubscriptions subscriptions_;
};
