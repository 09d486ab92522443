#pragma once
// The hits of every receiver as the live list shows them, newest first: start, duration (running
// while the hit is open), receiver, channel, frequency, peak and mean. Open hits are lit in the
// level green. The list keeps the newest kMaxHits; the day files keep them all. A filter proxy
// shows the hits of one receiver or one channel. Widget-free: the list widget only shows it.
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <cstdint>
#include <deque>

#include "activity/SnxActivityHit.h"

class CnxActivityListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kStart, kDuration, kReceiver, kChannel, kFrequency, kPeak, kMean, kColumnCount };
    static constexpr std::size_t kMaxHits = 10000;
    // The hit a row shows, for the filter.
    static constexpr int kSlotRole = Qt::UserRole;
    static constexpr int kChannelRole = Qt::UserRole + 1;

    explicit CnxActivityListModel(QObject* parent = nullptr);

    // A hit that opened: it goes on top.
    void Add(const SnxActivityHit& hit);
    // A hit as it stands now (open or closed), in the row it has.
    void Update(const SnxActivityHit& hit);
    // Where open hits' durations run up to.
    void SetNow(int64_t utcMs);

    // The hit of a row, newest first; null outside the list.
    const SnxActivityHit* HitAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // "12.3 s" under a minute, then "4:05" and "1:02:03".
    static QString DurationText(int64_t ms);

private:
    int RowOf(uint64_t id) const;
    QString Text(const SnxActivityHit& hit, int column) const;

    std::deque<SnxActivityHit> hits_;  // oldest first; ids rise along it
    int64_t nowMs_ = 0;
};

// Shows the hits of one receiver slot (or all: -1) and one channel (or all: 0).
class CnxActivityFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CnxActivityFilter(QObject* parent = nullptr);
    void SetSlot(int slot);
    void SetChannel(int channel);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    int slot_ = -1;
    int channel_ = 0;
};
