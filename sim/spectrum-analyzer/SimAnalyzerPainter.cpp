#include "SimAnalyzerPainter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t kOpaque = 0xff000000u;

// Three parts of the picture to one part of the colour.
std::uint32_t Blend(std::uint32_t under, std::uint32_t colour) {
    const std::uint32_t quarter = 0x3f3f3fu;
    return kOpaque | (((under >> 2) & quarter) * 3 + ((colour >> 2) & quarter));
}

class Canvas {
public:
    Canvas(std::uint32_t* pixels, int width, int height, int bytesPerLine)
        : pixels_(pixels), width_(width), height_(height), stride_(bytesPerLine / 4) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t* Row(int y) { return pixels_ + std::ptrdiff_t(y) * stride_; }

    void FillRow(int y, std::uint32_t colour) { std::fill_n(Row(y), width_, kOpaque | colour); }
    void Set(int x, int y, std::uint32_t colour) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_) {
            Row(y)[x] = kOpaque | colour;
        }
    }
    void Column(int x, int top, int bottom, std::uint32_t colour) {
        if (x < 0 || x >= width_) {
            return;
        }
        for (int y = std::max(top, 0); y <= std::min(bottom, height_ - 1); ++y) {
            Row(y)[x] = kOpaque | colour;
        }
    }
    void Line(int left, int right, int y, std::uint32_t colour) {
        if (y < 0 || y >= height_) {
            return;
        }
        for (int x = std::max(left, 0); x <= std::min(right, width_ - 1); ++x) {
            Row(y)[x] = kOpaque | colour;
        }
    }
    void Shade(int left, int right, std::uint32_t colour) {
        left = std::max(left, 0);
        right = std::min(right, width_ - 1);
        for (int y = 0; y < height_; ++y) {
            std::uint32_t* row = Row(y);
            for (int x = left; x <= right; ++x) {
                row[x] = Blend(row[x], colour);
            }
        }
    }

private:
    std::uint32_t* pixels_;
    int width_;
    int height_;
    int stride_;
};

int RowOf(float db, int height) {
    const float t = (SimAnalyzerPainter::kTopDb - db) /
                    (SimAnalyzerPainter::kTopDb - SimAnalyzerPainter::kBottomDb);
    return std::clamp(int(std::lround(t * float(height - 1))), 0, height - 1);
}

// The strongest bin under column x: a peak narrower than a pixel still shows.
float ColumnDb(const SimAnalyzerSettings& s, const std::vector<float>& bins, int x) {
    const double binHz = double(s.Nyquist()) / double(bins.size() - 1);
    const double pixelHz = s.SpanHz() / s.width;
    const double from = s.LowHz() + x * pixelHz;
    const int first = std::clamp(int(std::lround(from / binHz)), 0, int(bins.size()) - 1);
    const int last =
        std::clamp(int(std::lround((from + pixelHz) / binHz)), first, int(bins.size()) - 1);
    return *std::max_element(bins.begin() + first, bins.begin() + last + 1);
}

void PaintGrid(const SimAnalyzerSettings& s, Canvas& canvas) {
    for (int y = 0; y < canvas.Height(); ++y) {
        canvas.FillRow(y, s.colors.background);
    }
    for (float db = SimAnalyzerPainter::kTopDb - 20; db > SimAnalyzerPainter::kBottomDb; db -= 20) {
        canvas.FillRow(RowOf(db, canvas.Height()), s.colors.grid);
    }
}

void PaintTrace(const SimAnalyzerSettings& s, const std::vector<float>& bins,
                const std::vector<float>& peak, Canvas& canvas) {
    if (bins.size() < 2) {
        return;
    }
    const std::uint32_t line = s.squelched ? s.colors.squelched : s.colors.trace;
    const int bottom = canvas.Height() - 1;
    int previous = -1;
    for (int x = 0; x < canvas.Width(); ++x) {
        const int y = RowOf(ColumnDb(s, bins, x), canvas.Height());
        canvas.Column(x, y + 1, bottom, s.colors.traceFill);
        // Joined to the previous column, so steep slopes stay one unbroken line.
        const int from = previous < 0 ? y : std::min(y, previous + 1);
        const int to = previous < 0 ? y : std::max(y, previous - 1);
        canvas.Column(x, from, to, line);
        previous = y;
        if (peak.size() == bins.size()) {
            canvas.Set(x, RowOf(ColumnDb(s, peak, x), canvas.Height()), s.colors.peak);
        }
    }
}

void PaintFilter(const SimAnalyzerSettings& s, Canvas& canvas) {
    const int left = int(std::lround(s.XAt(s.FilterLow())));
    const int right = int(std::lround(s.XAt(s.FilterHigh())));
    canvas.Shade(left, right, s.colors.passband);
    for (int x : {left, right}) {
        canvas.Column(x, 0, canvas.Height() - 1, s.colors.passbandEdge);
    }
}

void PaintIF(const SimAnalyzerSettings& s, Canvas& canvas) {
    const double centre = s.IFCentre();
    const int left = int(std::lround(s.XAt(centre - s.ifBandwidth / 2.0)));
    const int right = int(std::lround(s.XAt(centre + s.ifBandwidth / 2.0)));
    const int middle = int(std::lround(s.XAt(centre)));
    const int bracket = SimAnalyzerPainter::kBracketHeight;
    canvas.Line(left, right, bracket / 2, s.colors.ifShift);
    canvas.Column(left, 2, bracket - 2, s.colors.ifShift);
    canvas.Column(right, 2, bracket - 2, s.colors.ifShift);
    canvas.Column(middle, 0, canvas.Height() - 1, s.colors.ifShift);
    // A small flag on the handle so it can be found and grabbed.
    for (int dx = -3; dx <= 3; ++dx) {
        canvas.Column(middle + dx, 0, 3 - std::abs(dx), s.colors.ifShift);
    }
}

void PaintReadingHelper(const SimAnalyzerSettings& s, const std::vector<float>& bins,
                        Canvas& canvas) {
    canvas.Column(s.hoverX, 0, canvas.Height() - 1, s.colors.readingHelper);
    if (bins.size() >= 2) {
        canvas.Line(0, canvas.Width() - 1, RowOf(ColumnDb(s, bins, s.hoverX), canvas.Height()),
                    s.colors.readingHelper);
    }
}

}  // namespace

void SimAnalyzerPainter::Paint(const SimAnalyzerSettings& s, const std::vector<float>& bins,
                               const std::vector<float>& peak, std::uint32_t* pixels,
                               int bytesPerLine) {
    Canvas canvas(pixels, s.width, s.height, bytesPerLine);
    PaintGrid(s, canvas);
    if (!s.enabled) {
        return;
    }
    PaintTrace(s, bins, peak, canvas);
    if (s.ShowsFilter()) {
        PaintFilter(s, canvas);
    }
    if (s.ShowsIF()) {
        PaintIF(s, canvas);
    }
    if (s.readingHelper && s.hoverX >= 0) {
        PaintReadingHelper(s, bins, canvas);
    }
}
