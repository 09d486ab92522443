#pragma once
// The selected receiver's signal level as a number and a bar, one per receiver slot.
#include <QWidget>

class CnxCtrlLevelMeter : public QWidget {
public:
    explicit CnxCtrlLevelMeter(QWidget* parent = nullptr);

    void SetLevel(double dbm, bool attenuator);
    double Level() const { return level_; }
    QString LevelText() const;

    QSize sizeHint() const override { return {180, 96}; }
    QSize minimumSizeHint() const override { return {150, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double level_ = -130.0;
    bool attenuator_ = false;
};
