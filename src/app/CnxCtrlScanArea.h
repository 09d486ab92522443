#pragma once
// The scan view of the selected receiver: the latest level of each of the 99 channels as a bar,
// in frequency order, with a dBm scale.
#include <QWidget>
#include <array>
#include <optional>

class CnxCtrlScanArea : public QWidget {
public:
    static constexpr int kChannels = 99;
    static constexpr int kSlots = 8;

    explicit CnxCtrlScanArea(QWidget* parent = nullptr);

    void ShowReceiver(int index);
    void StartPass(int index);  // forgets the receiver's old levels
    void AddLevel(int index, double frequency, double dbm);
    void SetScanning(bool scanning);
    std::optional<double> LevelAt(int index, int position) const;

    // Position of a frequency in the channel order of the bars, or -1 off the plan.
    static int PositionOf(double frequency);

    QSize minimumSizeHint() const override { return {420, 160}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect PlotRect() const;
    void PaintScale(QPainter& p, const QRect& plot) const;
    void PaintBars(QPainter& p, const QRect& plot) const;

    std::array<std::array<std::optional<double>, kChannels>, kSlots> levels_{};
    int shown_ = 0;
    bool scanning_ = false;
};
