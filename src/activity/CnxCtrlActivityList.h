#pragma once
// The live list of hits: a header row with the filters (receiver, channel) and the selected
// receiver's activity threshold and "Record hits" switch, over the list, newest first, open hits
// lit. A double click on a hit asks for its receiver to be tuned to its channel.
#include <QFrame>

#include "activity/InxActivityPanel.h"
#include "activity/SnxActivityHit.h"
#include "core/TmyEvents.h"

class CnxActivityFilter;
class CnxActivityListModel;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

class CnxCtrlActivityList : public QFrame, public InxActivityPanel {
    Q_OBJECT
public:
    explicit CnxCtrlActivityList(QWidget* parent = nullptr);

    // The hits to show; borrowed.
    void SetModel(CnxActivityListModel* model);
    void ShowReceiverSettings(int slot, int thresholdDbm, bool recordHits) override;

    QTableView& Table() const { return *table_; }
    QSpinBox& Threshold() const { return *threshold_; }
    QPushButton& RecordHits() const { return *recordHits_; }
    // The hit a row of the table shows (filtered as it is); null for none.
    const SnxActivityHit* HitAtRow(int row) const;

    // The selected receiver's threshold in dBm, and its "Record hits" switch.
    TmyEventList<int32_t> OnThresholdAsked;
    TmyEventList<int32_t> OnRecordHitsAsked;
    // A hit chosen for listening: its receiver is to be tuned to it.
    TmyEventList<const SnxActivityHit&> OnHitChosen;

private:
    void Choose(const QModelIndex& index);

    CnxActivityListModel* model_ = nullptr;
    CnxActivityFilter* filter_;
    QComboBox* receiverFilter_;
    QSpinBox* channelFilter_;
    QLabel* thresholdLabel_;
    QSpinBox* threshold_;
    QPushButton* recordHits_;
    QTableView* table_;
};
