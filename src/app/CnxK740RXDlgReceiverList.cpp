#include "app/CnxK740RXDlgReceiverList.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"

namespace {
QString Text(const char* field, std::size_t size) {
    return QString::fromLatin1(field, qsizetype(strnlen(field, size)));
}
}  // namespace

CnxK740RXDlgReceiverList::CnxK740RXDlgReceiverList(QWidget* owner,
                                                   CnxK740RX_ReceiverManager* manager, int count)
    : QDialog(owner), manager_(manager) {
    setWindowTitle(QStringLiteral(" Receiver list"));
    setModal(true);
    list_ = new QListWidget(this);
    for (int i = 0; i < count; ++i) {
        const CnxK740RXReceiver* receiver = manager_->GetReceiver(i);
        const RadioInfo* info = receiver ? &receiver->GetCurrentRadioInfo() : nullptr;
        const QString serial = info ? Text(info->serial, sizeof info->serial) : QStringLiteral("-");
        list_->addItem(QStringLiteral("%1  %2").arg(i + 1).arg(serial));
    }
    list_->setToolTip(QStringLiteral("Choose a receiver to flash its LED"));
    record_ = new QLabel(this);
    record_->setMinimumHeight(54);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { Choose(row + 1); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(record_);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(300, 320);
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

CnxK740RXDlgReceiverList::~CnxK740RXDlgReceiverList() {
    // The identified unit goes back to its normal pattern.
    if (CnxK740RXReceiver* receiver = chosen_ > 0 ? manager_->GetReceiver(chosen_ - 1) : nullptr) {
        receiver->SetLedPattern(CnxK740RXReceiver::kLedNormal);
    }
}

void CnxK740RXDlgReceiverList::Choose(int row) {
    CnxK740RXReceiver* next = row > 0 ? manager_->GetReceiver(row - 1) : nullptr;
    if (next == nullptr) {
        return;
    }
    if (CnxK740RXReceiver* previous = chosen_ > 0 ? manager_->GetReceiver(chosen_ - 1) : nullptr) {
        previous->SetLedPattern(CnxK740RXReceiver::kLedNormal);
    }
    chosen_ = row;
    next->SetLedPattern(CnxK740RXReceiver::kLedPointedOut);
    const RadioInfo& info = next->GetCurrentRadioInfo();
    // Each value named, so the operator can tell them apart and read them out.
    record_->setText(QStringLiteral("Product: %1\nValue A: %2 Hz\nValue B: %3 Hz")
                         .arg(Text(info.productName, sizeof info.productName))
                         .arg(qlonglong(info.valueA))
                         .arg(qlonglong(info.valueB)));
}

QString CnxK740RXDlgReceiverList::RecordText() const {
    return record_->text();
}
