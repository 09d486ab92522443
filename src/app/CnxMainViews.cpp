#include "app/CnxMainViews.h"

#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "scanner/CnxScannerPage.h"
#include "ui/TmyColorScheme.h"

namespace {
// The scan takes three parts of the height to the spectrum's one, and most of any growth.
constexpr int kScanShare = 3;
constexpr int kSpectrumShare = 1;

QString TabStyle() {
    const TmyColorScheme& s = TmyColorScheme::Default();
    return QStringLiteral(
               "QTabBar::tab { background: %1; color: %2; border: 1px solid %3;"
               " border-bottom: none; border-top-left-radius: 4px; border-top-right-radius: 4px;"
               " padding: 3px 14px; margin-right: 2px; }"
               "QTabBar::tab:selected { background: %4; color: %5; }"
               "QTabBar::tab:hover { border-color: %6; }"
               "QTabBar:focus { border-bottom: 1px dotted %6; }")
        .arg(s.window.name(), s.textSecondary.name(), s.border.name(), s.panel.name(),
             s.text.name(), s.focus.name());
}
}  // namespace

CnxMainViews::CnxMainViews(QWidget* parent, const Parts& parts)
    : QWidget(parent),
      pages_(parts.pages),
      scans_(parts.scans),
      tabs_(new QTabBar(this)),
      views_(new QStackedWidget(this)),
      middle_(new QSplitter(Qt::Vertical)) {
    tabs_->setStyleSheet(TabStyle());
    tabs_->setDrawBase(false);
    tabs_->setFocusPolicy(Qt::TabFocus);
    tabs_->addTab(QStringLiteral("Selected receiver"));
    tabs_->addTab(QStringLiteral("All receivers"));
    tabs_->setTabToolTip(kSelectedView,
                         QStringLiteral("The selected receiver: tuning, scan, history and "
                                        "spectrum (F2 switches views)"));
    tabs_->setTabToolTip(kOverview, QStringLiteral("Every receiver at once; click one to open "
                                                   "it (F2 switches views)"));

    middle_->setChildrenCollapsible(false);
    middle_->addWidget(parts.scans);
    middle_->addWidget(parts.spectrum);
    middle_->setStretchFactor(0, kScanShare);
    middle_->setStretchFactor(1, kSpectrumShare);
    auto* selected = new QWidget(views_);
    auto* column = new QVBoxLayout(selected);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(parts.top, 0);
    column->addWidget(middle_, 1);
    views_->addWidget(selected);
    views_->addWidget(parts.overview);
    if (parts.activity != nullptr) {
        tabs_->addTab(QStringLiteral("Activity"));
        tabs_->setTabToolTip(kActivityView,
                             QStringLiteral("What every receiver heard, newest first; "
                                            "double-click a hit to tune its receiver to it"));
        views_->addWidget(parts.activity);
    }
    connect(tabs_, &QTabBar::currentChanged, this, [this](int view) {
        views_->setCurrentIndex(view);
        OnViewChanged.Raise(this, view);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(views_, 1);

    for (CnxScannerPage* page : pages_) {
        connect(page, &CnxScannerPage::SplitMoved, this, [this, page] { FollowSplit(*page); });
    }
}

void CnxMainViews::ShowOverview(bool shown) {
    tabs_->setCurrentIndex(shown ? kOverview : kSelectedView);
}

void CnxMainViews::ShowOpenHits(int count) {
    tabs_->setTabText(kActivityView, count > 0 ? QStringLiteral("Activity (%1 open)").arg(count)
                                               : QStringLiteral("Activity"));
}

bool CnxMainViews::IsOverviewShown() const {
    return tabs_->currentIndex() == kOverview;
}

void CnxMainViews::FollowSplit(const CnxScannerPage& moved) {
    const QList<int> heights = moved.GetSplit();
    for (CnxScannerPage* page : pages_) {
        if (page != &moved) {
            page->SetSplit(heights);
        }
    }
}

const CnxScannerPage& CnxMainViews::ShownPage() const {
    for (const CnxScannerPage* page : pages_) {
        if (page->isVisibleTo(scans_)) {
            return *page;
        }
    }
    return *pages_.front();
}

void CnxMainViews::Capture(SnxWindowLayout& layout) const {
    const QList<int> split = ShownPage().GetSplit();
    const QList<int> middle = middle_->sizes();
    if (split.size() == 2 && middle.size() == 2) {
        layout.graph = split[0];
        layout.history = split[1];
        layout.scans = middle[0];
        layout.spectrum = middle[1];
    }
    layout.overview = IsOverviewShown() ? 1 : 0;
}

void CnxMainViews::Apply(const SnxWindowLayout& layout) {
    // Sizes spread over the room there is in their proportions: a window of another size keeps
    // the operator's arrangement.
    if (layout.graph > 0 && layout.history > 0) {
        for (CnxScannerPage* page : pages_) {
            page->SetSplit({layout.graph, layout.history});
        }
    }
    if (layout.scans > 0 && layout.spectrum > 0) {
        middle_->setSizes({layout.scans, layout.spectrum});
    }
    ShowOverview(layout.overview != 0);
}
