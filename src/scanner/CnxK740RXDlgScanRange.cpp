#include "scanner/CnxK740RXDlgScanRange.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

#include "ui/TmyColorScheme.h"
#include "ui/TmyModal.h"

namespace {

const char* const kStartProperty = "startValue";

QString ChannelItem(int32_t number, int32_t hertz) {
    return QStringLiteral("%1   %2 MHz").arg(number, 2).arg(double(hertz) / 1e6, 0, 'f', 3);
}

QString StepItem(int32_t step) {
    const QString kilohertz = QStringLiteral("%1 kHz").arg(double(step) / 1e3, 0, 'g', 6);
    return step == CnxChannelPlan::kSpacing ? QStringLiteral("Channel raster (%1)").arg(kilohertz)
                                            : kilohertz;
}

// The item whose hertz lie nearest the value.
int NearestItem(const QComboBox& box, int64_t hertz) {
    int nearest = 0;
    for (int i = 1; i < box.count(); ++i) {
        if (std::llabs(box.itemData(i).toLongLong() - hertz) <
            std::llabs(box.itemData(nearest).toLongLong() - hertz)) {
            nearest = i;
        }
    }
    return nearest;
}

}  // namespace

CnxK740RXDlgScanRange::CnxK740RXDlgScanRange(QWidget* parent, const SnxScanPlan& plan,
                                             bool channels)
    : QDialog(parent), original_(plan) {
    setWindowTitle(QStringLiteral(" Scan Range"));
    setModal(true);
    auto* form = new QFormLayout;
    if (channels) {
        lowerChannel_ = ChannelBox(false);
        upperChannel_ = ChannelBox(false);
        lowerChannel_->setCurrentIndex(NearestItem(*lowerChannel_, plan.lower));
        upperChannel_->setCurrentIndex(NearestItem(*upperChannel_, plan.upper));
        lowerChannel_->setProperty(kStartProperty, lowerChannel_->currentIndex());
        upperChannel_->setProperty(kStartProperty, upperChannel_->currentIndex());
        lowerChannel_->setToolTip(QStringLiteral("The first channel the scan measures"));
        upperChannel_->setToolTip(QStringLiteral("The last channel the scan measures"));
        form->addRow(QStringLiteral("From channel"), lowerChannel_);
        form->addRow(QStringLiteral("To channel"), upperChannel_);
    } else {
        lowerFrequency_ = FrequencyBox(plan.lower);
        upperFrequency_ = FrequencyBox(plan.upper);
        lowerFrequency_->setToolTip(QStringLiteral("The lower edge of the range"));
        upperFrequency_->setToolTip(QStringLiteral("The upper edge of the range"));
        form->addRow(QStringLiteral("From"), lowerFrequency_);
        form->addRow(QStringLiteral("To"), upperFrequency_);
    }
    BuildStepBox();
    form->addRow(QStringLiteral("Step"), step_);

    lockout_ = new QLineEdit(QString::fromStdString(plan.LockoutText()), this);
    lockout_->setPlaceholderText(QStringLiteral("none, or e.g. 60, 62-64"));
    lockout_->setToolTip(
        QStringLiteral("Channels the scan does not measure: numbers and ranges, by commas"));
    form->addRow(QStringLiteral("Locked out"), lockout_);

    priority_ = ChannelBox(true);
    priority_->setCurrentIndex(std::max(0, priority_->findData(plan.priority)));
    priority_->setToolTip(QStringLiteral("A channel measured again after every few other steps"));
    priorityEvery_ = new QSpinBox(this);
    priorityEvery_->setRange(1, SnxScanPlan::kMaxPriorityEvery);
    priorityEvery_->setValue(plan.priorityEvery);
    priorityEvery_->setPrefix(QStringLiteral("after every "));
    priorityEvery_->setSuffix(QStringLiteral(" steps"));
    priorityEvery_->setToolTip(QStringLiteral("How many other steps come between its visits"));
    auto* priorityRow = new QHBoxLayout;
    priorityRow->addWidget(priority_, 1);
    priorityRow->addWidget(priorityEvery_);
    form->addRow(QStringLiteral("Priority channel"), priorityRow);

    summary_ = new QLabel(this);
    summary_->setProperty("secondary", true);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->setStyleSheet(QStringLiteral("color: %1;").arg(TmyColorScheme::Default().alarm.name()));
    note_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(summary_);
    layout->addWidget(note_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QComboBox* box : {lowerChannel_, upperChannel_, step_, priority_}) {
        if (box != nullptr) {
            connect(box, &QComboBox::currentIndexChanged, this,
                    &CnxK740RXDlgScanRange::UpdateSummary);
        }
    }
    for (QDoubleSpinBox* box : {lowerFrequency_, upperFrequency_}) {
        if (box != nullptr) {
            connect(box, &QDoubleSpinBox::valueChanged, this,
                    &CnxK740RXDlgScanRange::UpdateSummary);
        }
    }
    connect(lockout_, &QLineEdit::textChanged, this, &CnxK740RXDlgScanRange::UpdateSummary);
    connect(priorityEvery_, &QSpinBox::valueChanged, this, &CnxK740RXDlgScanRange::UpdateSummary);
    UpdateSummary();
}

QComboBox* CnxK740RXDlgScanRange::ChannelBox(bool priority) {
    auto* box = new QComboBox(this);
    box->setFont(TmyColorScheme::Default().displayFont(13));
    if (priority) {
        box->addItem(QStringLiteral("none"), SnxScanPlan::kNoPriority);
    }
    // In the order of their frequencies, as the graph shows them.
    const auto addBand = [box, priority](const auto& numbers, const auto& frequencies) {
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            box->addItem(ChannelItem(numbers[i], frequencies[i]),
                         priority ? numbers[i] : frequencies[i]);
        }
    };
    addBand(CnxChannelPlan::LowBandNumbers(), CnxChannelPlan::LowBandFrequencies());
    addBand(CnxChannelPlan::HighBandNumbers(), CnxChannelPlan::HighBandFrequencies());
    return box;
}

QDoubleSpinBox* CnxK740RXDlgScanRange::FrequencyBox(int32_t hertz) {
    auto* box = new QDoubleSpinBox(this);
    box->setFont(TmyColorScheme::Default().displayFont(13));
    box->setDecimals(4);
    box->setRange(CnxChannelPlan::kLowerLimit / 1e6, CnxChannelPlan::kUpperLimit / 1e6);
    box->setSingleStep(CnxChannelPlan::kSpacing / 1e6);
    box->setSuffix(QStringLiteral(" MHz"));
    box->setAlignment(Qt::AlignRight);
    box->setValue(hertz / 1e6);
    box->setProperty(kStartProperty, box->value());
    return box;
}

void CnxK740RXDlgScanRange::BuildStepBox() {
    step_ = new QComboBox(this);
    step_->setToolTip(QStringLiteral("The distance between two measured points"));
    for (const int32_t step : SnxScanPlan::kOfferedSteps) {
        step_->addItem(StepItem(step), step);
    }
    // A step set from elsewhere (the remote link) is offered as it is.
    if (step_->findData(original_.step) < 0) {
        step_->addItem(StepItem(original_.step), original_.step);
    }
    step_->setCurrentIndex(step_->findData(original_.step));
}

int32_t CnxK740RXDlgScanRange::Edge(const QComboBox* channelBox, const QDoubleSpinBox* frequencyBox,
                                    int32_t original) const {
    if (channelBox != nullptr) {
        return channelBox->currentIndex() == channelBox->property(kStartProperty).toInt()
                   ? original
                   : channelBox->currentData().toInt();
    }
    return frequencyBox->value() == frequencyBox->property(kStartProperty).toDouble()
               ? original
               : int32_t(std::lround(frequencyBox->value() * 1e6));
}

SnxScanPlan CnxK740RXDlgScanRange::GetChosenPlan() const {
    SnxScanPlan plan = original_;
    plan.lower = Edge(lowerChannel_, lowerFrequency_, original_.lower);
    plan.upper = Edge(upperChannel_, upperFrequency_, original_.upper);
    plan.step = step_->currentData().toInt();
    plan.lockout = SnxScanPlan::ParseChannels(lockout_->text().toStdString());
    plan.priority = priority_->currentData().toInt();
    plan.priorityEvery = priorityEvery_->value();
    return plan;
}

bool CnxK740RXDlgScanRange::CheckChoice() {
    std::string refused;
    SnxScanPlan::ParseChannels(lockout_->text().toStdString(), &refused);
    QString note;
    if (!refused.empty()) {
        note = QStringLiteral(
                   "\u201C%1\u201D is not a channel: give numbers from 1 to 99, or "
                   "ranges of them such as 62-64.")
                   .arg(QString::fromStdString(refused));
    } else if (GetChosenPlan().Checked().Walk().GetWalkedCount() == 0) {
        note = QStringLiteral(
            "Every channel of the range is locked out: nothing would be "
            "measured.");
    }
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    return note.isEmpty();
}

void CnxK740RXDlgScanRange::accept() {
    if (!CheckChoice()) {
        QApplication::beep();
        return;
    }
    QDialog::accept();
}

std::optional<SnxScanPlan> CnxK740RXDlgScanRange::Execute() {
    if (TmyModal::Exec(*this) != QDialog::Accepted) {
        return std::nullopt;
    }
    return GetChosenPlan();
}

void CnxK740RXDlgScanRange::UpdateSummary() {
    const CnxScanStepper walk = GetChosenPlan().Checked().Walk();
    QString text = QStringLiteral("%1 points per sweep").arg(walk.GetPointCount());
    if (walk.GetWalkedCount() < walk.GetPointCount()) {
        text += QStringLiteral(", %1 measured").arg(walk.GetWalkedCount());
    }
    summary_->setText(text);
    if (!note_->text().isEmpty()) {
        CheckChoice();  // a note goes as soon as what it was about has been put right
    }
}

QString CnxK740RXDlgScanRange::GetSummary() const {
    return summary_->text();
}

QString CnxK740RXDlgScanRange::GetNote() const {
    return note_->text();
}
