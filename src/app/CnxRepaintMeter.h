#pragma once
// How often the window repaints, for whoever measures what the window thread costs: it counts the
// repaint passes of a window (each paints all that is due at once) and the widgets painted in
// them, and every few seconds writes the rates to the debug category "k740.repaints". Made only
// while that category is on; it watches every event of the program then.
#include <QElapsedTimer>
#include <QObject>

class QWidget;

class CnxRepaintMeter : public QObject {
public:
    static constexpr int kPeriodMs = 5000;

    explicit CnxRepaintMeter(QWidget& window);
    ~CnxRepaintMeter() override;

    // Whether the category is on, so that a meter is wanted.
    static bool IsWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QWidget& window_;
    QElapsedTimer since_;
    int passes_ = 0;
    int paints_ = 0;
};
