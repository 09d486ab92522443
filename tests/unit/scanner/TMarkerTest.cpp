#include "scanner/TMarker.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "scanner/ScopeView.h"

namespace {

QStringList LabelsInRange(const ScopeView& view) {
    QStringList labels;
    for (const TMarker* marker : view.GetMarkersInRange()) {
        labels << marker->GetLabelText();
    }
    return labels;
}

}  // namespace

TEST(TMarker, LabelNamesTheChannelAndTheComment) {
    ScopeView view;
    TMarker* marker = view.AddMarker(142750000, QStringLiteral("Buoy west"), 0x00ff00);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetChannel(), 50);
    EXPECT_EQ(marker->GetLabelText(), "Ch.50, Buoy west");
    marker->SetComment(QString());
    EXPECT_EQ(marker->GetLabelText(), "Ch.50 ");

    TMarker* inGap = view.AddMarker(161500000, QString(), 0x00ff00);
    EXPECT_EQ(inGap->GetChannel(), -1);
    EXPECT_EQ(inGap->GetLabelText(), "Ch.-1 ");
    marker->SetFrequency(162625000);
    EXPECT_EQ(marker->GetChannel(), 17);

    EXPECT_EQ(view.AddMarker(-1, QStringLiteral("nowhere"), 0x00ff00), nullptr);
    EXPECT_EQ(view.GetMarkerCount(), 2);

    // The label holds at most 127 bytes and never half a character; the comment a line at most.
    const QString umlauts(200, QChar(0x00e4));
    const QString label = TMarker::LabelText(50, umlauts);
    EXPECT_LE(label.toUtf8().size(), TMarker::kMaxLabelBytes);
    EXPECT_GE(label.toUtf8().size(), TMarker::kMaxLabelBytes - 1);
    EXPECT_FALSE(label.contains(QChar::ReplacementCharacter));
    marker->SetComment(QStringLiteral("two\nlines\tand a tab"));
    EXPECT_EQ(marker->GetComment(), "two lines and a tab");
    marker->SetComment(QString(1000, QLatin1Char('x')));
    EXPECT_EQ(marker->GetComment().size(), SnxScopeMarker::kMaxCommentLength);

    // Label size: the text's extent with a third of the font height on every side.
    const ScopeView::TextExtent extent = view.MeasureLabel(inGap->GetLabelText());
    EXPECT_EQ(inGap->GetLabelSize(), QSize(extent.width + 2 * (extent.fontHeight / 3),
                                           extent.height + 2 * (extent.fontHeight / 3)));
}

TEST(TMarker, MarkersOutsideTheRangeAreKeptAndComeBackWhenItCoversThemAgain) {
    ScopeView view;
    view.AddMarker(142750000, QStringLiteral("a"), 0x00ff00);
    view.AddMarker(165000000, QStringLiteral("b"), 0x00ff00);
    view.AddMarker(150000000, QStringLiteral("c"), 0x00ff00);
    EXPECT_EQ(LabelsInRange(view), (QStringList{"Ch.50, a", "Ch.20, b", "Ch.69, c"}));

    view.SetRange(140000000, 150000000, 375000, true);  // edges are inclusive
    EXPECT_EQ(LabelsInRange(view), (QStringList{"Ch.50, a", "Ch.69, c"}));
    // Added while outside the range: kept, not shown.
    view.AddMarker(170000000, QStringLiteral("d"), 0x00ff00);
    EXPECT_EQ(LabelsInRange(view).size(), 2);

    view.SetRange(136000000, 173500000, 375000, true);
    EXPECT_EQ(LabelsInRange(view), (QStringList{"Ch.50, a", "Ch.20, b", "Ch.69, c", "Ch.11, d"}));

    view.RemoveMarker(view.GetMarker(1));
    EXPECT_EQ(LabelsInRange(view), (QStringList{"Ch.50, a", "Ch.69, c", "Ch.11, d"}));
    EXPECT_EQ(view.GetMarkerRecords().front(),
              (SnxScopeMarker{142750000, QStringLiteral("a"), 0x00ff00}));
    view.DeleteAllObjects();
    EXPECT_EQ(view.GetMarkerCount(), 0);
}

TEST(TMarker, HitTestFindsAShownMarkerByItsLineOrItsLabel) {
    ScopeView view;
    view.SetPlot(QRect(0, 0, 990, 200));  // 10 pixels per point, centres at 5, 15, ...
    TMarker* marker = view.AddMarker(142750000, QStringLiteral("west"), 0x00ff00);
    ASSERT_TRUE(marker->IsPlaced());
    EXPECT_EQ(marker->GetLineX(), 185);
    EXPECT_EQ(view.HitTest(QPoint(184, 150)), marker);
    EXPECT_EQ(view.HitTest(QPoint(187, 150)), nullptr);
    const QRect label = marker->GetLabelRect();
    EXPECT_EQ(label.top(), 0);
    EXPECT_GT(label.left(), 185);
    EXPECT_EQ(view.HitTest(label.center()), marker);
    EXPECT_EQ(view.HitTest(QPoint(label.right() + 2, label.center().y())), nullptr);

    // A hidden marker cannot be hit.
    view.SetShowMarkers(false);
    EXPECT_EQ(view.HitTest(QPoint(185, 150)), nullptr);
    view.SetShowMarkers(true);

    // A neighbour whose label would overlap goes to the next row; near the right edge a label
    // hangs to the left of its line.
    TMarker* next = view.AddMarker(143125000, QStringLiteral("east"), 0x00ff00);
    EXPECT_GT(next->GetLabelRect().top(), label.bottom());
    TMarker* last = view.AddMarker(173500000, QStringLiteral("edge"), 0x00ff00);
    EXPECT_LT(last->GetLabelRect().right(), last->GetLineX());
    EXPECT_EQ(last->GetLabelRect().top(), 0);

    // However many crowd together, their labels stay inside the plot, clear of the axis and the
    // read-out below it.
    for (int i = 0; i < 40; ++i) {
        view.AddMarker(150000000 + i * 375000, QStringLiteral("crowded buoy %1").arg(i), 0x00ff00);
    }
    const QRect plot = view.GetAxis().GetPlot();
    for (const TMarker* shown : view.GetMarkersInRange()) {
        ASSERT_TRUE(shown->IsPlaced());
        EXPECT_TRUE(plot.contains(shown->GetLabelRect())) << shown->GetLabelText().toStdString();
    }

    // Zoomed away from it, a marker is not placed and cannot be hit.
    view.SetZoom(4.0, 0);
    EXPECT_FALSE(last->IsPlaced());
    EXPECT_TRUE(marker->IsPlaced());
    EXPECT_EQ(view.HitTest(QPoint(last->GetLineX(), 150)), nullptr);
}
