#pragma once
// The calibration window: the user's S-meter offset in dB, one decimal, set by typing or with the
// up/down arrows in tenths of a dB. Every change is posted to the main window as WM_CAL_OFFSET in
// tenths; every close hides the window and posts WM_CAL_CLOSE, and the main window destroys it.
#include <QDialog>

#include "core/TmyTypes.h"

class QDoubleSpinBox;

class CnxK740RXDlgCalibration : public QDialog {
public:
    // The field's range: offsets beyond it are refused as they are typed.
    static constexpr double kMinimum = -50.0;
    static constexpr double kMaximum = 50.0;

    CnxK740RXDlgCalibration(QWidget* owner, HWND mainWindow);

    // A value different from the current one is stored, shown and posted.
    void SetValue(double decibels);
    double GetValue() const { return value_; }
    // What the up/down control does: `steps` tenths of a dB up (or down).
    void Step(int steps);

    QDoubleSpinBox* Field() const { return field_; }

    // OK posts the current offset once more before closing; Close and the window's close command
    // only close.
    void done(int result) override;

private:
    void ShowValue();

    HWND mainWindow_;
    double value_ = 0.0;
    QDoubleSpinBox* field_;
};
