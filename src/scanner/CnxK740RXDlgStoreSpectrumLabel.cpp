#include "scanner/CnxK740RXDlgStoreSpectrumLabel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "scanner/ScopeReadOut.h"
#include "scanner/TMarker.h"
#include "ui/TmyModal.h"

CnxK740RXDlgStoreSpectrumLabel::CnxK740RXDlgStoreSpectrumLabel(QWidget* parent,
                                                               const QString& caption)
    : QDialog(parent) {
    setWindowTitle(caption);
    setModal(true);
    channel_ = new QLabel(this);
    frequency_ = new QLabel(this);
    frequency_->setProperty("secondary", true);
    auto* commentLabel = new QLabel(QStringLiteral("Comments"), this);
    comment_ = new QLineEdit(this);
    comment_->setMaxLength(SnxScopeMarker::kMaxCommentLength);
    comment_->setMinimumWidth(260);
    comment_->setToolTip(QStringLiteral("Shown on the marker's label beside its channel"));
    commentLabel->setBuddy(comment_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(channel_);
    layout->addWidget(frequency_);
    layout->addSpacing(6);
    layout->addWidget(commentLabel);
    layout->addWidget(comment_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CnxK740RXDlgStoreSpectrumLabel::ChannelText(int channel) {
    return channel < 0 ? QStringLiteral("Channel \"Unknown\"")
                       : QStringLiteral("Channel %1").arg(channel);
}

QString CnxK740RXDlgStoreSpectrumLabel::GetChannelText() const {
    return channel_->text();
}

int CnxK740RXDlgStoreSpectrumLabel::Execute(TMarker& marker) {
    channel_->setText(ChannelText(marker.GetChannel()));
    frequency_->setText(ScopeReadOut::FrequencyText(marker.GetFrequency()));
    comment_->setText(marker.GetComment());
    comment_->selectAll();
    comment_->setFocus();
    if (TmyModal::Exec(*this) != QDialog::Accepted) {
        return 0;
    }
    marker.SetComment(comment_->text());
    return 1;
}
