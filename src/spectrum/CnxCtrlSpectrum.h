#pragma once
// The spectrum control: shows the analyzer library's picture of the audio blocks it is fed, on
// the plot background with a frequency axis in kHz, and hands the mouse to the library, which
// reports the user's drags of the filter band and the IF shift back as notifications. Used on the
// window thread only.
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "core/TmyEvents.h"
#include "spectrum/CnxCtrlSpectrumDll.h"

class CnxCtrlSpectrum : public QWidget, public CnxCtrlSpectrumDll {
public:
    static constexpr const char* kLibraryFileName = "aspect_vcl.dll";
    static constexpr int kMinIFBandwidth = 100;
    static constexpr int kMaxIFBandwidth = 24000;
    static constexpr int kAxisHeight = 18;  // the kHz scale under the picture

    explicit CnxCtrlSpectrum(QWidget* parent = nullptr,
                             const char* libraryFileName = kLibraryFileName);
    ~CnxCtrlSpectrum() override;

    // The rate of the blocks to come (the rest of the wave format does not matter here). Sets the
    // maximum IF bandwidth: 12000 at 48000 and 44100 Hz, else a quarter of the rate, as far as
    // the library takes it; the IF range listeners hear the result.
    void SetFormat(int sampleRate);
    // One audio block, samples in -1..1; a non-zero flag marks a changed frequency.
    void Show(const float* samples, int count, int a, int b, int flag);

    // The frequency scale under the picture: a tick per step, labelled in kHz where a label fits,
    // and the unit at the right end. No label overprints another or the unit.
    struct AxisLabel {
        QRect box;
        QString text;
    };
    struct AxisLayout {
        std::vector<int> ticks;         // x of each tick
        std::vector<AxisLabel> labels;  // the unit last
    };
    AxisLayout LayOutAxis(const QFontMetrics& metrics);

    // Each reaches the library only when the value changes.
    void SetIFBandwidth(int hz);  // clamped to 100 .. 24000
    void SetFilterPos(int hz);
    void SetFilterBandwidth(int hz);
    void SetIFShift(int hz);
    void SetIFShiftMode(int mode);  // raises IFShiftModeChange when it changes

    // Passed straight to the library.
    std::int32_t SetFFTSize(std::int32_t size);
    std::int32_t SetVisOverlap(std::int32_t percent);
    std::int32_t SetVisEnable(std::int32_t on);
    std::int32_t SetVisSource(std::int32_t source);
    std::int32_t SetVisColor(const AspectVisColors& colors);
    std::int32_t SetVisDrawPeak(std::int32_t on);
    std::int32_t SetVisFilterEnable(std::int32_t on);
    std::int32_t SetVisReadingHelperEnable(std::int32_t on);
    std::int32_t SetMaxIFShift(std::int32_t hz);
    std::int32_t SetMaxIFBandwidth(std::int32_t hz);
    std::int32_t SetVisDisplayPlayback(std::int32_t on);
    std::int32_t SetVisSquelched(std::int32_t on);
    std::int32_t Zoom(float factor, std::int32_t centreHz);
    std::int32_t FFTSuggest(std::int32_t hz);

    AspectHandle GetAnalyzer() const { return analyzer_; }
    int GetSampleRate() const { return sampleRate_; }
    float GetZoom() const { return zoom_; }
    int GetMaxIFBandwidth() const { return maxIFBandwidth_; }
    int GetFilterPos() const { return filterPos_; }
    int GetFilterBandwidth() const { return filterBandwidth_; }
    int GetIFShift() const { return ifShift_; }
    int GetIFBandwidth() const { return ifBandwidth_; }
    int GetIFShiftMode() const { return ifShiftMode_; }
    // The picture as last painted, for checks of what the user sees.
    const QImage& Picture() const { return picture_; }

    TmyEventList<int> FilterFrequencyChange;
    TmyEventList<int> FilterBandwidthChange;
    TmyEventList<int> IFShihtPositionChange;
    TmyEventList<int> IFShihtRangeChange;
    TmyEventList<int> IFShiftModeChange;

    QSize sizeHint() const override { return {600, 150}; }
    QSize minimumSizeHint() const override { return {300, 70}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static void OnNotify(std::int32_t code, std::int32_t value, void* context);
    void Notification(std::int32_t code, std::int32_t value);
    QRect PictureArea() const;
    QRect AxisStrip() const;
    void PaintAxis(QPainter& painter);
    void UpdateCursor(const QPoint& at);

    AspectHandle analyzer_ = nullptr;
    int sampleRate_ = 32000;
    float zoom_ = 1.0f;
    int maxIFBandwidth_ = 12000;
    int filterPos_ = 0;
    int filterBandwidth_ = 0;
    int ifShift_ = 0;
    int ifBandwidth_ = 0;
    int ifShiftMode_ = 0;
    QImage picture_;
};
