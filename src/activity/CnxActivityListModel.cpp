#include "activity/CnxActivityListModel.h"

#include <QBrush>
#include <QDateTime>
#include <algorithm>

#include "ui/TmyColorScheme.h"

CnxActivityListModel::CnxActivityListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CnxActivityListModel::Add(const SnxActivityHit& hit) {
    beginInsertRows(QModelIndex(), 0, 0);
    hits_.push_back(hit);
    endInsertRows();
    if (hits_.size() > kMaxHits) {
        const int last = int(hits_.size()) - 1;
        beginRemoveRows(QModelIndex(), last, last);
        hits_.pop_front();
        endRemoveRows();
    }
}

void CnxActivityListModel::Update(const SnxActivityHit& hit) {
    const int row = RowOf(hit.id);
    if (row < 0) {
        return;
    }
    hits_[hits_.size() - 1 - std::size_t(row)] = hit;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CnxActivityListModel::SetNow(int64_t utcMs) {
    nowMs_ = utcMs;
    for (int row = 0; row < rowCount(); ++row) {
        if (HitAt(row)->IsOpen()) {
            emit dataChanged(index(row, kDuration), index(row, kDuration));
        }
    }
}

const SnxActivityHit* CnxActivityListModel::HitAt(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return &hits_[hits_.size() - 1 - std::size_t(row)];
}

int CnxActivityListModel::RowOf(uint64_t id) const {
    const auto found =
        std::lower_bound(hits_.begin(), hits_.end(), id,
                         [](const SnxActivityHit& h, uint64_t v) { return h.id < v; });
    if (found == hits_.end() || found->id != id) {
        return -1;
    }
    return int(hits_.end() - found) - 1;
}

int CnxActivityListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(hits_.size());
}

int CnxActivityListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString CnxActivityListModel::DurationText(int64_t ms) {
    const int64_t seconds = std::max<int64_t>(ms, 0) / 1000;
    if (seconds < 60) {
        return QString::number(double(std::max<int64_t>(ms, 0)) / 1000.0, 'f', 1) +
               QStringLiteral(" s");
    }
    const auto two = [](int64_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (seconds < 3600) {
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(two(seconds % 60));
    }
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(two(seconds / 60 % 60), two(seconds % 60));
}

QString CnxActivityListModel::Text(const SnxActivityHit& hit, int column) const {
    switch (column) {
        case kStart:
            return QDateTime::fromMSecsSinceEpoch(hit.startMs, Qt::UTC)
                .toString(QStringLiteral("HH:mm:ss"));
        case kDuration:
            return DurationText(hit.DurationMs(std::max(nowMs_, hit.endMs)));
        case kReceiver:
            return QStringLiteral("Receiver %1").arg(hit.slot + 1);
        case kChannel:
            return hit.channel > 0 ? QString::number(hit.channel) : QStringLiteral("\u2013");
        case kFrequency:
            return QString::number(double(hit.frequency) / 1e6, 'f', 4);
        case kPeak:
            return QString::number(hit.peakDbm, 'f', 1);
        case kMean:
            return QString::number(hit.MeanDbm(), 'f', 1);
        default:
            return {};
    }
}

QVariant CnxActivityListModel::data(const QModelIndex& index, int role) const {
    const SnxActivityHit* hit = HitAt(index.row());
    if (hit == nullptr || index.column() < 0 || index.column() >= kColumnCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(*hit, index.column());
        case Qt::ForegroundRole:
            if (hit->IsOpen()) {
                return QBrush(TmyColorScheme::Default().level);
            }
            return {};
        case Qt::TextAlignmentRole:
            return index.column() == kReceiver ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                               : int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            return QStringLiteral("%1 \u2013 %2 UTC, %3")
                .arg(QDateTime::fromMSecsSinceEpoch(hit->startMs, Qt::UTC)
                         .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                     QDateTime::fromMSecsSinceEpoch(hit->endMs, Qt::UTC)
                         .toString(QStringLiteral("HH:mm:ss.zzz")),
                     hit->IsOpen() ? QStringLiteral("still heard")
                                   : QString::fromLatin1(SnxActivityHit::EndWord(hit->end)));
        case kSlotRole:
            return hit->slot;
        case kChannelRole:
            return hit->channel;
        default:
            return {};
    }
}

QVariant CnxActivityListModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[kColumnCount] = {"Start (UTC)", "Duration", "Receiver", "Ch",
                                                      "MHz",         "Peak dBm", "Mean dBm"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section])
                                                  : QVariant();
}

CnxActivityFilter::CnxActivityFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

void CnxActivityFilter::SetSlot(int slot) {
    slot_ = slot;
    invalidateFilter();
}

void CnxActivityFilter::SetChannel(int channel) {
    channel_ = channel;
    invalidateFilter();
}

bool CnxActivityFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const QModelIndex cell = sourceModel()->index(row, 0, parent);
    return (slot_ < 0 || cell.data(CnxActivityListModel::kSlotRole).toInt() == slot_) &&
           (channel_ <= 0 || cell.data(CnxActivityListModel::kChannelRole).toInt() == channel_);
}
