#pragma once
// Where a saved window rectangle may go on the screens there are now. A placement saved with
// another set of screens, or edited by hand, must neither hide the window nor make it larger than
// any screen, and the window never gets smaller than its layout needs.
#include <QRect>
#include <QSize>
#include <vector>

#include "settings/SnxWindowPlacement.h"

class QWidget;

class CnxWindowPlacement {
public:
    // The rectangle moved onto the screen area it overlaps most (the first one when it overlaps
    // none) and cut to that area's size, but never below `minimum`. A window larger than the
    // area starts at the area's left or top edge.
    static QRect Fit(const QRect& wanted, const QSize& minimum, const std::vector<QRect>& areas);
    // Where the window opens when no placement was saved: centred on the screen area, taking most
    // of it but leaving the desktop around it, up to a size beyond which more room only spreads the
    // bars; never below `minimum`.
    static QRect First(const QSize& minimum, const QRect& area);

    // The window as the settings keep it, and put back where it was (fitted to today's screens),
    // or where it opens first when nothing was saved.
    static SnxWindowPlacement Capture(const QWidget& window);
    static void Apply(QWidget& window, const SnxWindowPlacement& placement);
};
