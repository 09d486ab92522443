#pragma once
// The scan buttons: scan, pause and stop ask for a mode, a toggle asks for the loop flag. They
// show the mode and the flag their owner gives them and tell each request to one handler; a
// request for what is shown already tells nothing. Pause pressed while paused asks to scan again.
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

    // What the buttons show; nothing is told.
    void ShowMode(int32_t mode);
    int32_t GetMode() const { return mode_; }
    void ShowLoop(int32_t loop);
    int32_t GetLoop() const { return loop_; }

    // By id: kModeScan, kModePause, kModeStop, kLoopButton; null for others.
    QAbstractButton* GetButton(int id) const;

    TmyEventSlot<int32_t> OnModeChanged;
    TmyEventSlot<int32_t> OnLoopChanged;

private:
    QToolButton* AddButton(int id, const QString& glyph, const QString& toolTip);
    void Clicked(int id, bool checked);
    void ShowValues();

    int32_t mode_ = kModeStop;
    int32_t loop_ = 1;
    std::map<int, QToolButton*> buttons_;
};
