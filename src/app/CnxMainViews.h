#pragma once
// The right-hand part of the main window and its views, one tab each: the selected
// receiver's (tuning, channel and S-meter across the top; under them, in a splitter, its scan
// and the audio spectrum, the scan taking the growth), all receivers at once, and the activity
// log's list of what they heard. The scanner
// pages keep their graph-to-history split in step, so changing receivers never moves the layout;
// the splits and the view shown are kept with the window's placement.
#include <QWidget>
#include <array>

#include "core/TmyEvents.h"
#include "settings/K740RXSlots.h"
#include "settings/SnxWindowLayout.h"

class CnxScannerPage;
class QSplitter;
class QStackedWidget;
class QTabBar;

class CnxMainViews : public QWidget {
    Q_OBJECT
public:
    using Pages = std::array<CnxScannerPage*, kK740RXSlotCount>;
    struct Parts {
        QWidget* top;       // tuning, channel and S-meter
        QWidget* scans;     // the scanner pages, the selected one shown
        QWidget* spectrum;  // the audio spectrum
        QWidget* overview;  // all receivers
        Pages pages;
        QWidget* activity = nullptr;  // the hits of all receivers; no tab without it
    };
    static constexpr int kSelectedView = 0;
    static constexpr int kOverview = 1;
    static constexpr int kActivityView = 2;

    CnxMainViews(QWidget* parent, const Parts& parts);

    void ShowOverview(bool shown);
    bool IsOverviewShown() const;

    // The splits and the view, as the settings keep them; nothing is applied of a split that
    // was never saved.
    void Capture(SnxWindowLayout& layout) const;
    void Apply(const SnxWindowLayout& layout);

    QTabBar& Tabs() const { return *tabs_; }
    // The activity view's tab tells how many hits are on now, whichever view is shown.
    void ShowOpenHits(int count);
    // The view shown changed: kSelectedView, kOverview or kActivityView.
    TmyEventList<int> OnViewChanged;
    QSplitter& ScanSplit() const { return *middle_; }

private:
    void FollowSplit(const CnxScannerPage& moved);
    const CnxScannerPage& ShownPage() const;

    Pages pages_;
    QWidget* scans_;
    QTabBar* tabs_;
    QStackedWidget* views_;
    QSplitter* middle_;
};
