#pragma once
// The scan control of one receiver slot: the scan buttons, the loop toggle, the sweep's state and
// the range it covers. It holds no scan logic: it tells the controller which command the operator
// gave (OnScanCommand with the mode: 1 scan, 3 pause, 4 stop) and the loop setting
// (OnLoopChanged: 1 repeat the sweep, 0 stop after one pass).
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

    // Set the buttons' mode; each change is told through OnScanCommand. Start while scanning
    // does nothing; Pause while paused goes back to scanning.
    void Start();
    void Pause();
    void Stop();
    int32_t GetMode() const;

    // Stores the value, shows it on the toggle and always tells OnLoopChanged.
    void SetLoopValue(int32_t loop);
    int32_t GetLoopValue() const { return loop_; }

    // The range shown beside the buttons.
    void SetRange(int64_t lower, int64_t upper, int64_t step);

    CnxK7RCtrlScanButtons* GetButtons() const { return buttons_; }
    QString GetStateText() const;
    QString GetRangeText() const;

    QSize sizeHint() const override { return {586, 50}; }

    TmyEventSlot<int32_t> OnScanCommand;
    TmyEventSlot<int32_t> OnLoopChanged;

private:
    void ModeChanged(void* sender, int32_t mode, std::intptr_t extra);
    void LoopChanged(void* sender, int32_t loop, std::intptr_t extra);
    void ShowState();

    int slot_;
    int32_t loop_ = 1;
    CnxK7RCtrlScanButtons* buttons_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* range_ = nullptr;
};
