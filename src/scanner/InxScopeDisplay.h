#pragma once
// What a ScopeView needs from the window that shows it: repaints, told as they become due, and the
// size of label texts in the font they are drawn with. The window decides when to paint.
#include <QString>

class InxScopeDisplay {
public:
    struct TextExtent {
        int width = 0;
        int height = 0;
        int fontHeight = 0;
    };

    virtual ~InxScopeDisplay() = default;

    // One point's bar and marks changed.
    virtual void SchedulePointRepaint(int index) = 0;
    // The layout changed (range, scroll, zoom, markers): everything is repainted.
    virtual void ScheduleRepaint() = 0;
    // The read-out's lines changed.
    virtual void ReadOutChanged() = 0;
    // The visible part of the range moved or changed its size (told while hidden too).
    virtual void VisiblePartChanged() = 0;
    virtual TextExtent MeasureText(const QString& text) const = 0;
};
