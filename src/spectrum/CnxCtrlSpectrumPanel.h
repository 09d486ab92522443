#pragma once
// The audio spectrum panel of the main window: the spectrum control with a title, the tuned
// frequency and read-outs of the filter and the IF band. It follows every change the user drags
// in the picture and passes it on through events of its own.
#include <QWidget>

#include "core/TmyEvents.h"
#include "spectrum/CnxCtrlSpectrum.h"

class QLabel;

class CnxCtrlSpectrumPanel : public QWidget {
public:
    // Where the filter band and the IF band start, so there is something to grab.
    static constexpr int kInitialFilterPos = 1500;
    static constexpr int kInitialFilterBandwidth = 2400;

    explicit CnxCtrlSpectrumPanel(QWidget* parent = nullptr,
                                  const char* libraryFileName = CnxCtrlSpectrum::kLibraryFileName);

    CnxCtrlSpectrum& Spectrum() { return *spectrum_; }

    // The rate of the blocks the controller will show (its own output format).
    void SetFormat(int sampleRate);
    // One played block at its own rate, samples in -1..1: a rate other than the last one's sets
    // the format first, so the axis shows the block's true audio frequencies. frequencyChanged
    // starts the picture afresh.
    void Show(const float* samples, int count, int sampleRate, bool frequencyChanged);
    // The tuned frequency, shown in the title.
    void SetFrequency(int hz);

    QString FilterText() const;
    QString IFText() const;
    QString TitleText() const;

    TmyEventList<int> FilterFrequencyChange;
    TmyEventList<int> FilterBandwidthChange;
    TmyEventList<int> IFShihtPositionChange;
    TmyEventList<int> IFShihtRangeChange;
    TmyEventList<int> IFShiftModeChange;

private:
    void OnFilterFrequency(void* sender, int hz);
    void OnFilterBandwidth(void* sender, int hz);
    void OnIFShift(void* sender, int hz);
    void OnIFRange(void* sender, int hz);
    void OnIFShiftMode(void* sender, int mode);
    void Refresh();

    CnxCtrlSpectrum* spectrum_;
    QLabel* title_;
    QLabel* filter_;
    QLabel* if_;
    int frequency_ = 0;
    int filterPos_ = 0;
    int filterBandwidth_ = 0;
    int ifShift_ = 0;
    int ifRange_ = 0;
    int ifShiftMode_ = 0;
    TmySubscriptions subscriptions_;
};
