#pragma once
// Draws a sweep history: its rows as a waterfall, newest at the top, one cell per point under the
// points an axis shows, each in the colour of its level; the legend of the colours; and what the
// history says about one cell. The history view under the bar graph and the overview's strips
// draw with it.
#include <QColor>
#include <QRect>
#include <QString>

#include "scanner/ScopeAxis.h"

class CnxSweepHistory;
class QPainter;
class ScopeView;

class CnxSweepHistoryPainter {
public:
    // The rows start at the axis' plot top, `rowHeight` pixels each; what of `area` lies below
    // the last row, and every cell without a reading, takes `empty`.
    static void PaintRows(QPainter& painter, const CnxSweepHistory& history, const ScopeAxis& axis,
                          int rowHeight, const QRect& area, const QColor& empty);
    // The row under a y of the plot, or -1 where there is none.
    static int RowAt(const CnxSweepHistory& history, const QRect& plot, int rowHeight, int y);

    // A bar at the right of `area` with the colours from -40 dBm at its top down to -120 dBm at
    // its bottom, and left of it in `text` as many of those levels as fit.
    static void PaintLegend(QPainter& painter, const QRect& area, const QColor& text);

    // "Channel 50  ·  142.7500 MHz  ·  -62.0 dBm  ·  12:34:56 UTC": the cell's point as the graph
    // names it, its level in that sweep and when the sweep began; empty for no cell.
    static QString CellText(const CnxSweepHistory& history, const ScopeView& points, int row,
                            int point);
};
