#pragma once
// The small dialog that sets what one receiver's scan covers: the lower and upper edge (as
// channels when the Channel switch is on, else as frequencies), the step, the locked-out channels
// and the priority channel with how often it comes back. It edits a copy of the plan; what the
// operator chose goes to the plan's owner.
#include <QDialog>
#include <optional>

#include "settings/SnxScanPlan.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class CnxK740RXDlgScanRange : public QDialog {
    Q_OBJECT
public:
    CnxK740RXDlgScanRange(QWidget* parent, const SnxScanPlan& plan, bool channels);

    // The plan chosen with OK; nothing when cancelled.
    std::optional<SnxScanPlan> Execute();
    // What the fields say now, and whether OK would take it (otherwise the note says why).
    SnxScanPlan GetChosenPlan() const;
    bool CheckChoice();

    // The fields: channel boxes with channels, frequency boxes without.
    QComboBox* GetLowerChannel() const { return lowerChannel_; }
    QComboBox* GetUpperChannel() const { return upperChannel_; }
    QDoubleSpinBox* GetLowerFrequency() const { return lowerFrequency_; }
    QDoubleSpinBox* GetUpperFrequency() const { return upperFrequency_; }
    QComboBox* GetStep() const { return step_; }
    QLineEdit* GetLockout() const { return lockout_; }
    QComboBox* GetPriority() const { return priority_; }
    QSpinBox* GetPriorityEvery() const { return priorityEvery_; }
    QString GetSummary() const;
    QString GetNote() const;

    void accept() override;

private:
    // Every channel, by frequency; an item holds the channel's frequency, or for the priority
    // (with a first item for none) its number.
    QComboBox* ChannelBox(bool priority);
    QDoubleSpinBox* FrequencyBox(int32_t hertz);
    void BuildStepBox();
    // An edge as the fields give it: the plan's own value until the operator moves the field.
    int32_t Edge(const QComboBox* channelBox, const QDoubleSpinBox* frequencyBox,
                 int32_t original) const;
    void UpdateSummary();

    SnxScanPlan original_;
    QComboBox* lowerChannel_ = nullptr;
    QComboBox* upperChannel_ = nullptr;
    QDoubleSpinBox* lowerFrequency_ = nullptr;
    QDoubleSpinBox* upperFrequency_ = nullptr;
    QComboBox* step_ = nullptr;
    QLineEdit* lockout_ = nullptr;
    QComboBox* priority_ = nullptr;
    QSpinBox* priorityEvery_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* note_ = nullptr;
};
