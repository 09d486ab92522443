#pragma once
// The scan control of one receiver slot: the scan buttons, the loop toggle, the sweep's state and
// the range it covers. It holds no scan logic: it shows the mode and loop setting its controller
// gives it, and tells the controller which command the operator gave (OnScanCommand with the mode:
// 1 scan, 3 pause, 4 stop) and which loop setting was asked for (OnLoopChanged: 1 repeat the
// sweep, 0 stop after one pass).
#include <QFrame>

#include "core/TmyEvents.h"

class CnxK7RCtrlScanButtons;
class QLabel;

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

    // The range shown beside the buttons.
    void SetRange(int64_t lower, int64_t upper, int64_t step);

    CnxK7RCtrlScanButtons* GetButtons() const { return buttons_; }
    QString GetStateText() const;
    QString GetRangeText() const;

    QSize sizeHint() const override { return {586, 50}; }

    TmyEventSlot<int32_t> OnScanCommand;
    TmyEventSlot<int32_t> OnLoopChanged;

private:
    void ModeAsked(void* sender, int32_t mode, std::intptr_t extra);
    void LoopAsked(void* sender, int32_t loop, std::intptr_t extra);
    void ShowState();

    int slot_;
    CnxK7RCtrlScanButtons* buttons_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* range_ = nullptr;
    TmySubscriptions subscriptions_;
};
