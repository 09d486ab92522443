#pragma once
// Lists the receivers; choosing one flashes its front-panel LED so the operator can tell which
// physical unit it is, and shows its radio record.
#include <QDialog>

class QListWidget;
class QLabel;
class CnxK740RX_ReceiverManager;

class CnxK740RXDlgReceiverList : public QDialog {
public:
    CnxK740RXDlgReceiverList(QWidget* owner, CnxK740RX_ReceiverManager* manager, int count);
    ~CnxK740RXDlgReceiverList() override;

    void Choose(int row);  // row from 1
    QString RecordText() const;

private:
    CnxK740RX_ReceiverManager* manager_;
    QListWidget* list_;
    QLabel* record_;
    int chosen_ = 0;
};
