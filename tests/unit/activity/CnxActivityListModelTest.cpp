// The live list's rows: newest first, open hits lit and running, updates in place, the filters,
// and the cap on how many it keeps.
#include "activity/CnxActivityListModel.h"

#include <gtest/gtest.h>

#include <QBrush>
#include <QSignalSpy>

#include "ui/TmyColorScheme.h"

namespace {

SnxActivityHit Hit(uint64_t id, int slot, int channel, int64_t startMs) {
    SnxActivityHit hit;
    hit.id = id;
    hit.slot = slot;
    hit.channel = channel;
    hit.frequency = channel == 50 ? 142750000 : 154000000;
    hit.startMs = hit.endMs = startMs;
    hit.peakDbm = hit.sumDbm = -70.0;
    hit.readings = 1;
    return hit;
}

QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data().toString();
}

constexpr int64_t k14h02m11s = (14 * 3600 + 2 * 60 + 11) * 1000LL;

TEST(ActivityListModel, NewestFirstWithOpenHitsLitAndTheirDurationsRunning) {
    CnxActivityListModel model;
    model.Add(Hit(1, 0, 50, k14h02m11s));
    SnxActivityHit second = Hit(2, 3, 80, k14h02m11s + 5000);
    model.Add(second);
    model.SetNow(k14h02m11s + 7500);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kReceiver), QStringLiteral("Receiver 4"));
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kChannel), QStringLiteral("80"));
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kFrequency), QStringLiteral("154.0000"));
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kDuration), QStringLiteral("2.5 s"));
    EXPECT_EQ(Cell(model, 1, CnxActivityListModel::kStart), QStringLiteral("14:02:11"));
    EXPECT_EQ(Cell(model, 1, CnxActivityListModel::kDuration), QStringLiteral("7.5 s"));

    // The open hit's values change in place; closed, it stops running and is no longer lit.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    second.peakDbm = -61.25;
    second.sumDbm = -70.0 - 61.25;
    second.readings = 2;
    second.endMs = second.startMs + 3000;
    second.end = SnxActivityHit::End::kQuiet;
    model.Update(second);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 0);
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kPeak), QStringLiteral("-61.3"));
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kMean), QStringLiteral("-65.6"));
    model.SetNow(k14h02m11s + 60000);
    EXPECT_EQ(Cell(model, 0, CnxActivityListModel::kDuration), QStringLiteral("3.0 s"));
    EXPECT_EQ(Cell(model, 1, CnxActivityListModel::kDuration), QStringLiteral("1:00"));
    const QVariant lit = model.index(1, 0).data(Qt::ForegroundRole);
    ASSERT_TRUE(lit.canConvert<QBrush>());
    EXPECT_EQ(lit.value<QBrush>().color(), TmyColorScheme::Default().level);
    EXPECT_FALSE(model.index(0, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_TRUE(model.index(0, 0).data(Qt::ToolTipRole).toString().contains("quiet"));

    // An update for a hit the list does not hold changes nothing.
    model.Update(Hit(9, 0, 50, 0));
    EXPECT_EQ(changed.count(), 2);  // the update above and the one open row's running duration
}

TEST(ActivityListModel, TheFilterShowsOneReceiverOrOneChannel) {
    CnxActivityListModel model;
    model.Add(Hit(1, 0, 50, 1000));
    model.Add(Hit(2, 1, 50, 2000));
    model.Add(Hit(3, 1, 80, 3000));
    CnxActivityFilter filter;
    filter.setSourceModel(&model);
    const auto ids = [&] {
        std::vector<int> shown;
        for (int row = 0; row < filter.rowCount(); ++row) {
            shown.push_back(model.HitAt(filter.mapToSource(filter.index(row, 0)).row())->id);
        }
        return shown;
    };
    EXPECT_EQ(ids(), (std::vector<int>{3, 2, 1}));
    filter.SetSlot(1);
    EXPECT_EQ(ids(), (std::vector<int>{3, 2}));
    filter.SetChannel(50);
    EXPECT_EQ(ids(), (std::vector<int>{2}));
    filter.SetSlot(-1);
    EXPECT_EQ(ids(), (std::vector<int>{2, 1}));
    model.Add(Hit(4, 0, 50, 4000));
    EXPECT_EQ(ids(), (std::vector<int>{4, 2, 1}));
}

TEST(ActivityListModel, KeepsTheNewestHitsUpToItsCap) {
    CnxActivityListModel model;
    for (uint64_t id = 1; id <= CnxActivityListModel::kMaxHits + 2; ++id) {
        model.Add(Hit(id, 0, 50, int64_t(id)));
    }
    ASSERT_EQ(model.rowCount(), int(CnxActivityListModel::kMaxHits));
    EXPECT_EQ(model.HitAt(0)->id, CnxActivityListModel::kMaxHits + 2);
    EXPECT_EQ(model.HitAt(model.rowCount() - 1)->id, 3U);
    SnxActivityHit third = Hit(3, 0, 50, 3);
    third.peakDbm = -40.0;
    model.Update(third);
    EXPECT_EQ(model.HitAt(model.rowCount() - 1)->peakDbm, -40.0);
}

TEST(ActivityListModel, DurationsReadAsSecondsThenMinutesThenHours) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0.0 s"},         {1234, "1.2 s"},      {59949, "59.9 s"},
        {60000, "1:00"},      {605000, "10:05"},    {3599999, "59:59"},
        {3600000, "1:00:00"}, {3723000, "1:02:03"}, {-5, "0.0 s"},
    };
    for (const auto& [ms, text] : cases) {
        EXPECT_EQ(CnxActivityListModel::DurationText(ms), QString::fromLatin1(text)) << ms;
    }
}

}  // namespace
