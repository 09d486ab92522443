#pragma once
// The scan buttons: scan, pause and stop set the mode, a toggle sets the loop flag. Each value
// tells its change to one handler; setting a value it already has tells nothing. Pause pressed
// while paused goes back to scanning.
#include <QFrame>
#include <map>

#include "core/TmyEvents.h"

class QAbstractButton;
class QToolButton;

class CnxK7RCtrlScanButtons : public QFrame {
    Q_OBJECT
public:
    // Mode values, which are also the ids of their buttons.
    static constexpr int32_t kModeScan = 1;
    static constexpr int32_t kModePause = 3;
    static constexpr int32_t kModeStop = 4;
    static constexpr int kLoopButton = 13;

    explicit CnxK7RCtrlScanButtons(QWidget* parent = nullptr);

    void SetMode(int32_t mode);
    int32_t GetMode() const { return mode_; }
    void SetLoop(int32_t loop);
    int32_t GetLoop() const { return loop_; }

    // By id: kModeScan, kModePause, kModeStop, kLoopButton; null for others.
    QAbstractButton* GetButton(int id) const;

    TmyEventSlot<int32_t> OnModeChanged;
    TmyEventSlot<int32_t> OnLoopChanged;

private:
    QToolButton* AddButton(int id, const QString& glyph, const QString& toolTip);
    void ShowValues();

    int32_t mode_ = kModeStop;
    int32_t loop_ = 1;
    std::map<int, QToolButton*> buttons_;
};
