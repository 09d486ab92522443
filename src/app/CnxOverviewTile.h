#pragma once
// One receiver in the overview of all receivers: its lamp, name, scan state, frequency and
// level over its scan in small (bars and history strip). A lost receiver says so in the alarm
// colour. A click on it asks for the receiver's own view. It shows what it is given.
#include <QFrame>
#include <cstdint>
#include <utility>

class CnxCtrlLamp;
class CnxCtrlScopeThumbnail;
class CnxSweepHistory;
class QLabel;
class ScopeView;

class CnxOverviewTile : public QFrame {
    Q_OBJECT
public:
    struct Shown {
        QString name;
        QString state;
        int32_t frequency = 0;  // Hz
        double level = 0.0;     // dBm; NaN for none
        bool lost = false;
        bool scanning = false;  // its picture changes all the time

        bool operator==(const Shown&) const = default;
    };

    CnxOverviewTile(QWidget* parent, int slot, const ScopeView& levels,
                    const CnxSweepHistory& history);

    // Texts change only when they differ; the picture is repainted while the scan runs, and when
    // anything else changed.
    void Show(const Shown& shown);
    const Shown& GetShown() const { return shown_; }
    bool IsShownLost() const { return shown_.lost; }
    QString GetStateText() const;
    QString GetLevelText() const;
    CnxCtrlScopeThumbnail& Thumbnail() const { return *thumbnail_; }

signals:
    void Chosen(int slot);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowLost(bool lost);

    int slot_;
    const CnxSweepHistory& history_;
    CnxCtrlLamp* lamp_;
    QLabel* name_;
    QLabel* state_;
    QLabel* frequency_;
    QLabel* level_;
    CnxCtrlScopeThumbnail* thumbnail_;
    Shown shown_;
    std::pair<uint64_t, int> rowsShown_{0, 0};
    bool first_ = true;
};
