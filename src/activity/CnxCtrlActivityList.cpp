#include "activity/CnxCtrlActivityList.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "activity/CnxActivityListModel.h"
#include "settings/K740RXSlots.h"
#include "ui/TmyColorScheme.h"

namespace {

constexpr int kLowestThreshold = -120;
constexpr int kHighestThreshold = -40;
constexpr int kHighestChannel = 99;

QString TableStyle(const TmyColorScheme& s) {
    return QStringLiteral(
               "QTableView { background: %1; border: 1px solid %2; gridline-color: %3; }"
               "QTableView:focus { border-color: %4; }"
               "QHeaderView::section { background: %5; color: %6; border: none;"
               " border-bottom: 1px solid %2; padding: 1px 4px; }")
        .arg(s.plot.name(), s.border.name(), s.grid.name(), s.focus.name(), s.panel.name(),
             s.textSecondary.name());
}

}  // namespace

CnxCtrlActivityList::CnxCtrlActivityList(QWidget* parent)
    : QFrame(parent),
      filter_(new CnxActivityFilter(this)),
      receiverFilter_(new QComboBox(this)),
      channelFilter_(new QSpinBox(this)),
      thresholdLabel_(new QLabel(this)),
      threshold_(new QSpinBox(this)),
      recordHits_(new QPushButton(QStringLiteral("Record hits"), this)),
      table_(new QTableView(this)) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    setObjectName(QStringLiteral("activity"));
    setStyleSheet(TableStyle(s));
    // It takes the height the window has for it; the list scrolls.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);

    receiverFilter_->addItem(QStringLiteral("All receivers"), -1);
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        receiverFilter_->addItem(QStringLiteral("Receiver %1").arg(slot + 1), slot);
    }
    receiverFilter_->setToolTip(QStringLiteral("Show the hits of one receiver"));
    channelFilter_->setRange(0, kHighestChannel);
    channelFilter_->setSpecialValueText(QStringLiteral("All channels"));
    channelFilter_->setPrefix(QStringLiteral("Channel "));
    channelFilter_->setToolTip(QStringLiteral("Show the hits of one channel (0: all)"));
    thresholdLabel_->setProperty("secondary", true);
    threshold_->setRange(kLowestThreshold, kHighestThreshold);
    threshold_->setSuffix(QStringLiteral(" dBm"));
    threshold_->setKeyboardTracking(false);
    threshold_->setToolTip(
        QStringLiteral("The selected receiver's activity threshold: a level at or above it is a "
                       "hit. Also the dashed line on the bar graph, which you can drag."));
    recordHits_->setCheckable(true);
    recordHits_->setToolTip(
        QStringLiteral("Record each hit of the selected receiver as a WAV file while it listens "
                       "to one frequency (not while it scans)"));

    table_->setModel(filter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setShowGrid(false);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 2);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setToolTip(QStringLiteral(
        "Hits of every receiver, newest first; open ones lit. Double-click or Enter: select "
        "that receiver and tune it to the hit's channel."));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(8);
    header->addWidget(receiverFilter_);
    header->addWidget(channelFilter_);
    header->addStretch(1);
    header->addWidget(thresholdLabel_);
    header->addWidget(threshold_);
    header->addWidget(recordHits_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(table_, 1);

    connect(receiverFilter_, &QComboBox::currentIndexChanged, this,
            [this] { filter_->SetSlot(receiverFilter_->currentData().toInt()); });
    connect(channelFilter_, &QSpinBox::valueChanged, filter_, &CnxActivityFilter::SetChannel);
    connect(threshold_, &QSpinBox::valueChanged, this,
            [this](int dbm) { OnThresholdAsked.Raise(this, dbm); });
    connect(recordHits_, &QPushButton::toggled, this,
            [this](bool on) { OnRecordHitsAsked.Raise(this, on ? 1 : 0); });
    connect(table_, &QTableView::activated, this, &CnxCtrlActivityList::Choose);
}

void CnxCtrlActivityList::SetModel(CnxActivityListModel* model) {
    model_ = model;
    filter_->setSourceModel(model);
}

void CnxCtrlActivityList::ShowReceiverSettings(int slot, int thresholdDbm, bool recordHits) {
    const QSignalBlocker quietThreshold(threshold_);
    const QSignalBlocker quietRecord(recordHits_);
    thresholdLabel_->setText(QStringLiteral("Receiver %1 threshold").arg(slot + 1));
    threshold_->setValue(thresholdDbm);
    recordHits_->setChecked(recordHits);
}

const SnxActivityHit* CnxCtrlActivityList::HitAtRow(int row) const {
    if (model_ == nullptr) {
        return nullptr;
    }
    return model_->HitAt(filter_->mapToSource(filter_->index(row, 0)).row());
}

void CnxCtrlActivityList::Choose(const QModelIndex& index) {
    if (const SnxActivityHit* hit = HitAtRow(index.row())) {
        const SnxActivityHit chosen = *hit;  // the list may change while the choice is handled
        OnHitChosen.Raise(this, chosen);
    }
}
