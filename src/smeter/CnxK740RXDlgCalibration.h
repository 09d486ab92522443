#pragma once
// The calibration window: the selected receiver's S-meter offset in dB, one decimal, set by typing
// or with the up/down arrows in tenths of a dB. It edits the offset where its owner keeps it: every
// change goes straight to the owner, and it shows whatever the owner holds. Every close hides the
// window and posts WM_CAL_CLOSE, and the main window destroys it.
#include <QDialog>
#include <cstdint>
#include <functional>

#include "core/TmyTypes.h"

class QDoubleSpinBox;

class CnxK740RXDlgCalibration : public QDialog {
public:
    // The field's range: offsets beyond it are refused as they are typed.
    static constexpr double kMinimum = -50.0;
    static constexpr double kMaximum = 50.0;

    // Sets the owner's offset, in tenths of a dB.
    using Setter = std::function<void(int32_t tenths)>;

    CnxK740RXDlgCalibration(QWidget* owner, HWND mainWindow, Setter setOffset);

    // Shows the owner's offset; nothing goes back to the owner.
    void ShowOffset(int32_t tenths);
    double GetValue() const { return value_; }
    // A value typed or stepped to: the owner is given it, unless it is what is shown.
    void SetValue(double decibels);
    // What the up/down control does: `steps` tenths of a dB up (or down).
    void Step(int steps);

    QDoubleSpinBox* Field() const { return field_; }

    // Every way of closing only closes: the offset is the owner's already.
    void done(int result) override;

private:
    void ShowValue();

    HWND mainWindow_;
    Setter setOffset_;
    double value_ = 0.0;
    QDoubleSpinBox* field_;
};
