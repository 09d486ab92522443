#pragma once
// All receivers at once: a tile for every receiver there is, two to a row, each with its name,
// lamp, scan state, frequency, level and its scan in small. While shown it asks the values'
// owners a few times a second (the scans, the tuning, the listening and the slots controllers,
// through narrow questions) and keeps no copy of its own; the tiles repaint only what changed.
// A click on a tile asks for that receiver.
#include <QBasicTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "core/TmyEvents.h"
#include "settings/K740RXSlots.h"

class CnxOverviewTile;
class CnxScannerPage;
class InxScanStates;
class InxSlotFrequencies;
class InxSlotLevels;
class InxSlotPresence;
class QGridLayout;

class CnxOverviewPanel : public QWidget {
    Q_OBJECT
public:
    using Pages = std::array<CnxScannerPage*, kK740RXSlotCount>;
    struct Sources {
        const InxScanStates& scans;
        const InxSlotFrequencies& frequencies;
        InxSlotLevels& levels;
        const InxSlotPresence& presence;
    };
    static constexpr int kRefreshMs = 250;

    // The slots' graphs and histories are lent by their scanner pages.
    CnxOverviewPanel(QWidget* parent, const Pages& pages);
    ~CnxOverviewPanel() override;

    // The owners it asks; nothing is shown before they are known, nor once they are dropped.
    void SetSources(const Sources& sources);
    void DropSources();
    // Asks every owner now and shows the answers.
    void Refresh();
    CnxOverviewTile& Tile(int slot) const { return *tiles_.at(std::size_t(slot)); }

    // The slot of the tile the operator clicked.
    TmyEventList<int> OnSlotChosen;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Arrange(int present);
    double LevelOf(int slot) const;

    Pages pages_;
    std::array<CnxOverviewTile*, kK740RXSlotCount> tiles_{};
    std::unique_ptr<Sources> sources_;
    QGridLayout* grid_;
    int arranged_ = -1;
    QBasicTimer timer_;
};
