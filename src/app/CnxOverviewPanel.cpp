#include "app/CnxOverviewPanel.h"

#include <QGridLayout>
#include <QTimerEvent>
#include <cmath>
#include <limits>

#include "app/CnxOverviewTile.h"
#include "app/InxScanStates.h"
#include "app/InxSlotFrequencies.h"
#include "app/InxSlotLevels.h"
#include "app/InxSlotPresence.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxScannerPage.h"
#include "scanner/ScopeView.h"

namespace {
constexpr int kColumns = 2;
}  // namespace

CnxOverviewPanel::CnxOverviewPanel(QWidget* parent, const Pages& pages)
    : QWidget(parent), pages_(pages), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(8);
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        const CnxScannerPage& page = *pages_[std::size_t(slot)];
        auto* tile = new CnxOverviewTile(this, slot, page.Graph().GetScopeView(),
                                         page.History().GetHistory());
        tile->hide();
        connect(tile, &CnxOverviewTile::Chosen, this,
                [this](int chosen) { OnSlotChosen.Raise(this, chosen); });
        tiles_[std::size_t(slot)] = tile;
    }
}

CnxOverviewPanel::~CnxOverviewPanel() = default;

void CnxOverviewPanel::SetSources(const Sources& sources) {
    sources_ = std::make_unique<Sources>(sources);
    Refresh();
}

void CnxOverviewPanel::DropSources() {
    timer_.stop();
    sources_.reset();
}

void CnxOverviewPanel::Refresh() {
    if (!sources_) {
        return;
    }
    using State = InxScanStates::State;
    int present = 0;
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        CnxOverviewTile& tile = *tiles_[std::size_t(slot)];
        if (!sources_->presence.IsPresent(slot)) {
            tile.hide();
            continue;
        }
        ++present;
        const State state = sources_->scans.GetScanState(slot);
        CnxOverviewTile::Shown shown;
        shown.name = sources_->presence.GetSlotName(slot);
        shown.frequency = sources_->frequencies.GetFrequency(slot);
        shown.lost = !sources_->presence.IsConnected(slot);
        shown.scanning = state == State::kScanning;
        shown.state = shown.lost                  ? QStringLiteral("Lost")
                      : state == State::kScanning ? QStringLiteral("Scanning")
                      : state == State::kPaused   ? QStringLiteral("Paused")
                                                  : QStringLiteral("Stopped");
        shown.level = shown.lost ? std::numeric_limits<double>::quiet_NaN() : LevelOf(slot);
        tile.Show(shown);
        tile.show();
    }
    Arrange(present);
}

// While the scan runs, the level of its latest step; otherwise the receiver's own reading where
// it is tuned (a held scan gives the receiver back its frequency).
double CnxOverviewPanel::LevelOf(int slot) const {
    if (sources_->scans.IsScanning(slot)) {
        const ScopeView& levels = pages_[std::size_t(slot)]->Graph().GetScopeView();
        return levels.GetLevel(levels.GetPosition())
            .value_or(std::numeric_limits<double>::quiet_NaN());
    }
    return sources_->levels.GetLevelDbm(slot);
}

void CnxOverviewPanel::Arrange(int present) {
    if (present == arranged_) {
        return;
    }
    arranged_ = present;
    const int columns = present > 1 ? kColumns : 1;
    int place = 0;
    for (CnxOverviewTile* tile : tiles_) {
        grid_->removeWidget(tile);
        if (tile->isVisibleTo(this)) {
            grid_->addWidget(tile, place / columns, place % columns);
            ++place;
        }
    }
    for (int column = 0; column < kColumns; ++column) {
        grid_->setColumnStretch(column, column < columns ? 1 : 0);
    }
    for (int row = 0; row < (kK740RXSlotCount + 1) / kColumns; ++row) {
        grid_->setRowStretch(row, row < (present + columns - 1) / columns ? 1 : 0);
    }
}

void CnxOverviewPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
    if (sources_) {
        timer_.start(kRefreshMs, this);
    }
}

void CnxOverviewPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void CnxOverviewPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) {
        Refresh();
    } else {
        QWidget::timerEvent(event);
    }
}
