#include "spectrum/CnxCtrlSpectrum.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/TmyColorScheme.h"

namespace {

constexpr std::uint32_t kWindowStyle = 0x56010000;
constexpr int kAxisPadding = 4;  // between axis labels, and right of the unit

std::uint32_t Rgb(const QColor& colour) {
    return colour.rgb() & 0xffffffu;
}

// The picture in the program's colours.
AspectVisColors SchemeColors() {
    const TmyColorScheme& s = TmyColorScheme::Default();
    AspectVisColors c{};
    c.background = Rgb(s.plot);
    c.grid = Rgb(s.grid);
    c.trace = Rgb(s.level);
    c.traceFill = Rgb(s.level.darker(300));
    c.peak = Rgb(s.display);
    c.passband = Rgb(s.focus);
    c.passbandEdge = Rgb(s.levelMax);
    c.ifShift = Rgb(s.display);
    c.readingHelper = Rgb(s.text);
    c.squelched = Rgb(s.textSecondary);
    return c;
}

// A tick step of 1, 2 or 5 times a power of ten that puts a label every 60 pixels or more.
double TickStep(double spanHz, int width) {
    const double wanted = spanHz * 60 / std::max(width, 1);
    double step = std::pow(10.0, std::floor(std::log10(std::max(wanted, 1.0))));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= wanted) {
            return step * factor;
        }
    }
    return step * 10;
}

}  // namespace

CnxCtrlSpectrum::CnxCtrlSpectrum(QWidget* parent, const char* libraryFileName)
    : QWidget(parent), CnxCtrlSpectrumDll(libraryFileName) {
    setObjectName(QStringLiteral("SpectrumDll"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QStringLiteral(
        "Audio spectrum. Drag the shaded band or its edges to move or widen the filter; "
        "drag the amber handle to shift the IF, the ends of its bracket to widen it."));
    if (!IsLoaded()) {
        return;
    }
    const QRect area = PictureArea();
    // The picture comes back through RenderView, so no native window is handed over.
    analyzer_ = CreateAnalyzer(std::uintptr_t{0}, area.x(), area.y(), area.width(), area.height(),
                               kWindowStyle, 0);
    if (analyzer_ == nullptr) {
        qWarning().noquote() << "Spectrum analyzer library" << libraryFileName
                             << "made no analyzer: no spectrum is shown";
        return;
    }
    SetNotifyCallback(analyzer_, &CnxCtrlSpectrum::OnNotify, static_cast<void*>(this));
    SetVisColor(SchemeColors());
}

CnxCtrlSpectrum::~CnxCtrlSpectrum() {
    if (analyzer_ != nullptr) {
        DestroyAnalyzer(analyzer_);
    }
}

void CnxCtrlSpectrum::SetFormat(int sampleRate) {
    sampleRate_ = sampleRate;
    if (!IsLoaded()) {
        return;
    }
    SetSampleRate(analyzer_, sampleRate);
    SetVisRange(analyzer_, 32000);
    const int wanted = (sampleRate == 48000 || sampleRate == 44100) ? 12000 : sampleRate / 4;
    maxIFBandwidth_ = SetVisZeroOffset(analyzer_, wanted);
    IFShihtRangeChange.Raise(this, maxIFBandwidth_);
    update();
}

void CnxCtrlSpectrum::Show(const float* samples, int count, int a, int b, int flag) {
    Display(analyzer_, samples, count, a, b, flag != 0 ? 1 : 0);
}

void CnxCtrlSpectrum::SetIFBandwidth(int hz) {
    hz = std::clamp(hz, kMinIFBandwidth, kMaxIFBandwidth);
    if (hz != ifBandwidth_) {
        ifBandwidth_ = hz;
        CnxCtrlSpectrumDll::SetIFBandwidth(analyzer_, hz);
        update();
    }
}

void CnxCtrlSpectrum::SetFilterPos(int hz) {
    if (hz != filterPos_) {
        filterPos_ = hz;
        CnxCtrlSpectrumDll::SetFilterPos(analyzer_, hz);
        update();
    }
}

void CnxCtrlSpectrum::SetFilterBandwidth(int hz) {
    if (hz != filterBandwidth_) {
        filterBandwidth_ = hz;
        CnxCtrlSpectrumDll::SetFilterBandwidth(analyzer_, hz);
        update();
    }
}

void CnxCtrlSpectrum::SetIFShift(int hz) {
    if (hz != ifShift_) {
        ifShift_ = hz;
        CnxCtrlSpectrumDll::SetIFShift(analyzer_, hz);
        update();
    }
}

void CnxCtrlSpectrum::SetIFShiftMode(int mode) {
    if (mode != ifShiftMode_) {
        ifShiftMode_ = mode;
        CnxCtrlSpectrumDll::SetIFShiftMode(analyzer_, mode);
        IFShiftModeChange.Raise(this, mode);
        update();
    }
}

// clang-format off
std::int32_t CnxCtrlSpectrum::SetFFTSize(std::int32_t size) { return CnxCtrlSpectrumDll::SetFFTSize(analyzer_, size); }
std::int32_t CnxCtrlSpectrum::SetVisOverlap(std::int32_t percent) { return CnxCtrlSpectrumDll::SetVisOverlap(analyzer_, percent); }
std::int32_t CnxCtrlSpectrum::SetVisEnable(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisEnable(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::SetVisSource(std::int32_t source) { return CnxCtrlSpectrumDll::SetVisSource(analyzer_, source); }
std::int32_t CnxCtrlSpectrum::SetVisColor(const AspectVisColors& colors) { return CnxCtrlSpectrumDll::SetVisColor(analyzer_, colors); }
std::int32_t CnxCtrlSpectrum::SetVisDrawPeak(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisDrawPeak(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::SetVisFilterEnable(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisFilterEnable(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::SetVisReadingHelperEnable(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisReadingHelperEnable(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::SetMaxIFShift(std::int32_t hz) { return CnxCtrlSpectrumDll::SetMaxIFShift(analyzer_, hz); }
std::int32_t CnxCtrlSpectrum::SetMaxIFBandwidth(std::int32_t hz) { return CnxCtrlSpectrumDll::SetMaxIFBandwidth(analyzer_, hz); }
std::int32_t CnxCtrlSpectrum::SetVisDisplayPlayback(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisDisplayPlayback(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::SetVisSquelched(std::int32_t on) { return CnxCtrlSpectrumDll::SetVisSquelched(analyzer_, on); }
std::int32_t CnxCtrlSpectrum::FFTSuggest(std::int32_t hz) { return CnxCtrlSpectrumDll::FFTSuggest(analyzer_, hz); }
// clang-format on

std::int32_t CnxCtrlSpectrum::Zoom(float factor, std::int32_t centreHz) {
    zoom_ = factor;
    return CnxCtrlSpectrumDll::Zoom(analyzer_, factor, centreHz);
}

void CnxCtrlSpectrum::OnNotify(std::int32_t code, std::int32_t value, void* context) {
    if (context != nullptr) {
        static_cast<CnxCtrlSpectrum*>(context)->Notification(code, value);
    }
}

void CnxCtrlSpectrum::Notification(std::int32_t code, std::int32_t value) {
    switch (code) {
        case kAspectIFShift:
            if (value != ifShift_) {
                SetIFShift(value);
                IFShihtPositionChange.Raise(this, value);
            }
            break;
        case kAspectIFBandwidth:
            if (value != ifBandwidth_) {
                SetIFBandwidth(value);
                IFShihtRangeChange.Raise(this, ifBandwidth_);
            }
            break;
        case kAspectFilterPos:
            if (value != filterPos_) {
                SetFilterPos(value);
                FilterFrequencyChange.Raise(this, value);
            }
            break;
        case kAspectFilterBandwidth:
            if (value != filterBandwidth_) {
                SetFilterBandwidth(value);
                FilterBandwidthChange.Raise(this, value);
            }
            break;
        case kAspectRedraw:
            update();
            break;
        default:
            break;
    }
}

QRect CnxCtrlSpectrum::PictureArea() const {
    return QRect(0, 0, width(), std::max(0, height() - kAxisHeight));
}

void CnxCtrlSpectrum::resizeEvent(QResizeEvent*) {
    const QRect area = PictureArea();
    SetViewSize(analyzer_, area.width(), area.height());
}

void CnxCtrlSpectrum::paintEvent(QPaintEvent*) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    QPainter painter(this);
    painter.fillRect(rect(), s.plot);
    const QRect area = PictureArea();
    if (analyzer_ == nullptr || area.isEmpty()) {
        return;
    }
    if (picture_.size() != area.size()) {
        picture_ = QImage(area.size(), QImage::Format_RGB32);
        SetViewSize(analyzer_, area.width(), area.height());
    }
    if (RenderView(analyzer_, reinterpret_cast<std::uint32_t*>(picture_.bits()), area.width(),
                   area.height(), int(picture_.bytesPerLine())) != 0) {
        painter.drawImage(area.topLeft(), picture_);
    }
    PaintAxis(painter);
}

QRect CnxCtrlSpectrum::AxisStrip() const {
    return QRect(0, PictureArea().bottom() + 1, width(), kAxisHeight);
}

CnxCtrlSpectrum::AxisLayout CnxCtrlSpectrum::LayOutAxis(const QFontMetrics& metrics) {
    AxisLayout layout;
    std::int32_t low = 0;
    std::int32_t high = 0;
    const QRect area = PictureArea();
    if (GetVisFrequencyRange(analyzer_, &low, &high) == 0 || high <= low || area.isEmpty()) {
        return layout;
    }
    const QRect strip = AxisStrip();
    const QString unit = QStringLiteral("kHz");
    const int unitWidth = metrics.horizontalAdvance(unit);
    const AxisLabel unitLabel{QRect(strip.right() - kAxisPadding - unitWidth + 1, strip.top() + 2,
                                    unitWidth, kAxisHeight - 2),
                              unit};
    const double span = high - low;
    const double step = TickStep(span, area.width());
    int lastRight = -kAxisPadding - 1;
    for (double hz = std::ceil(low / step) * step; hz <= high; hz += step) {
        const int x = int(std::lround((hz - low) * area.width() / span));
        layout.ticks.push_back(x);
        const QString text = QString::number(hz / 1000, 'g', 4);
        // Centred under its tick, but kept whole at the edges (the 0 kHz label sits on the left).
        const int labelWidth = metrics.horizontalAdvance(text);
        const int left = std::clamp(x - labelWidth / 2, 0, std::max(0, strip.width() - labelWidth));
        const QRect box(left, strip.top() + 2, labelWidth, kAxisHeight - 2);
        // A label that would run into its neighbour or the unit is left out; its tick stays.
        if (box.left() <= lastRight + kAxisPadding ||
            box.right() + kAxisPadding >= unitLabel.box.left()) {
            continue;
        }
        layout.labels.push_back({box, text});
        lastRight = box.right();
    }
    layout.labels.push_back(unitLabel);
    return layout;
}

void CnxCtrlSpectrum::PaintAxis(QPainter& painter) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    painter.setFont(s.uiFont());
    const AxisLayout layout = LayOutAxis(painter.fontMetrics());
    const QRect strip = AxisStrip();
    painter.setPen(s.border);
    for (int x : layout.ticks) {
        painter.drawLine(x, strip.top(), x, strip.top() + 3);
    }
    painter.setPen(s.textSecondary);
    for (const AxisLabel& label : layout.labels) {
        painter.drawText(label.box, Qt::AlignLeft | Qt::AlignTop, label.text);
    }
}

void CnxCtrlSpectrum::UpdateCursor(const QPoint& at) {
    switch (HitTest(analyzer_, at.x(), at.y())) {
        case kAspectIFShift:
        case kAspectIFBandwidth:
        case kAspectFilterBandwidth:
            setCursor(Qt::SizeHorCursor);
            break;
        case kAspectFilterPos:
            setCursor(Qt::OpenHandCursor);
            break;
        default:
            unsetCursor();
            break;
    }
}

void CnxCtrlSpectrum::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (MouseDown(analyzer_, at.x(), at.y()) == kAspectFilterPos) {
        setCursor(Qt::ClosedHandCursor);
    }
}

void CnxCtrlSpectrum::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    MouseMove(analyzer_, at.x(), at.y());
    if (!(event->buttons() & Qt::LeftButton)) {
        UpdateCursor(at);
    }
}

void CnxCtrlSpectrum::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    MouseUp(analyzer_, at.x(), at.y());
    UpdateCursor(at);
}

void CnxCtrlSpectrum::leaveEvent(QEvent*) {
    MouseMove(analyzer_, -1, -1);
}
