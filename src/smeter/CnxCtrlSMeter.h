#pragma once
// The S-meter panel of one receiver slot: the meter, the clickable attenuator, AGC and AVC status
// texts, and the squelch threshold and defeat controls. Its decisions live in CnxSMeterModel; the
// panel draws them and forwards the user's clicks.
#include <QFrame>

#include "smeter/CnxSMeterModel.h"

class QPushButton;
class QSpinBox;
class CnxSMeterDebug;

class CnxCtrlSMeter : public QFrame {
    Q_OBJECT

    // First member: the event references below bind to it.
    CnxSMeterModel model_{this};

public:
    explicit CnxCtrlSMeter(QWidget* parent = nullptr);

    // Squelch against the threshold, then the meter glides to the level, clamped to its scale.
    // NaN (the receiver could not be read) shows "no reading", dimmed, without a level.
    void SetLevel(double dbm);
    // The meter's level: the last one set, clamped; NaN while there is no reading.
    double GetLevel() const { return model_.GetLevel(); }

    void SetAttenuator(bool on);
    void SetAGCMode(int32_t mode);
    void SetAVCMode(int32_t mode);
    void SetSquelchThreshold(double dbm);
    void SetSquelchDefeat(bool defeat);
    void ShowSquelchControls(bool show);

    const CnxSMeterModel& Model() const { return model_; }
    CnxSMeterDebug* Meter() const { return meter_; }

    // (sender, 1 squelched / 0 signal present)
    TmyEventList<int32_t>& OnSquelchChanged = model_.OnSquelchChanged;
    // (sender, new attenuator state)
    TmyEventList<int32_t>& OnAttenuatorClicked = model_.OnAttenuatorClicked;
    // (sender, new AGC mode - 1)
    TmyEventList<int32_t>& OnAGCClicked = model_.OnAGCClicked;
    // (sender, new AVC mode)
    TmyEventList<int32_t>& OnAVCClicked = model_.OnAVCClicked;

    QPushButton* AttenuatorButton() const { return atten_; }
    QPushButton* AGCButton() const { return agc_; }
    QPushButton* AVCButton() const { return avc_; }
    QSpinBox* SquelchField() const { return squelch_; }
    QPushButton* DefeatButton() const { return defeat_; }

private:
    QPushButton* MakeStatusButton(const QString& toolTip, void (CnxSMeterModel::*click)());
    void ShowStatus(QPushButton* button, const CnxSMeterModel::Status& status);
    void ShowAllStatus();

    CnxSMeterDebug* meter_;
    QPushButton* atten_;
    QPushButton* agc_;
    QPushButton* avc_;
    QSpinBox* squelch_;
    QPushButton* defeat_;
};
