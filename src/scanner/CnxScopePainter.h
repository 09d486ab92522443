#pragma once
// Draws a bar graph: the dBm scale, one bar per point with its weakest and strongest marks (a
// locked-out point has a dimmed slot instead), the markers, the activity threshold and strip, the
// channel numbers under the plot and the read-out strip. The same drawing serves the
// screen and printing; only the colours differ.
#include <QColor>
#include <QRect>
#include <optional>

#include "scanner/ScopeView.h"

class QFontMetrics;
class QPainter;

struct SnxScopeColours {
    QColor background;
    QColor plot;
    QColor grid;
    QColor text;
    QColor textSecondary;
    QColor level;
    QColor levelMin;
    QColor levelMax;
    QColor lockedOut;  // the slot of a point that is not measured
    QColor threshold;
    int markerShade;  // QColor::darker factor: pure green reads poorly on paper

    static SnxScopeColours Screen();
    static SnxScopeColours Print();
};

class CnxScopePainter {
public:
    struct Areas {
        QRect scale;     // dBm labels, left of the plot
        QRect plot;      // bars and markers
        QRect activity;  // a thin strip under the plot: each point's hits
        QRect axis;      // channel numbers under the plot
        QRect readOut;   // two lines of the read-out
    };
    // How a picture divides into its areas, for the font it is drawn with.
    static Areas Layout(const QRect& rect, const QFontMetrics& metrics);
    // y of a LevelDepth value (0 = -40 dBm at the top), and back.
    static double DepthY(const QRect& plot, double depth);
    static double DepthAt(const QRect& plot, double y);
    // The threshold line's y, when there is one.
    static std::optional<int> ThresholdY(const QRect& plot, const ScopeView& view);

    CnxScopePainter(QPainter& painter, const ScopeView& view, const SnxScopeColours& colours);

    // Paints what meets the clip: only the bars inside it are drawn.
    void Paint(const Areas& areas, const ScopeAxis& axis, const QRect& clip);

private:
    void PaintScale(const Areas& areas);
    void PaintBars(const ScopeAxis& axis, int first, int last);
    void PaintMarkers(const ScopeAxis& axis);
    void PaintChannelNumbers(const Areas& areas, const ScopeAxis& axis);
    void PaintThreshold(const QRect& plot);
    void PaintActivity(const QRect& strip, const ScopeAxis& axis);
    void PaintReadOut(const QRect& strip);

    QPainter& painter_;
    const ScopeView& view_;
    const SnxScopeColours& colours_;
};
