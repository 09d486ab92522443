#pragma once
// The receiver list panel of the main window: one button per receiver to pick the one that is
// heard and controlled, each showing its frequency and, in red, a lost connection; a note while a
// demo receiver is selected; and the Help, About, Info and Cal buttons. It holds no receiver logic:
// the main window fills it and reacts to its events.
#include <QFrame>
#include <array>

#include "receiver/CnxReceiverListModel.h"

class QLabel;
class QPushButton;
class QVBoxLayout;
class CnxK740RXReceiverManagerButton;

class CnxK740RXCtrlReceiverManager : public QFrame, public CnxReceiverListModel {
    Q_OBJECT
public:
    explicit CnxK740RXCtrlReceiverManager(QWidget* parent = nullptr);

    // Null when index is not an item's.
    CnxK740RXReceiverManagerButton* GetItemButton(int index) const;
    void OnButtonClicked(CnxK740RXReceiverManagerButton* button);

protected:
    void ItemAdded(int index) override;
    void ItemChanged(int index) override;
    void DemoNoteChanged(bool shown) override;

private:
    QWidget* CreateItemList();
    QWidget* CreateFurtherButtons();
    QPushButton* CreateFurtherButton(const QString& text, const QString& toolTip,
                                     void (CnxReceiverListModel::*fire)());
    void UpdateTabOrder();
    static QColor ColorOf(TextTone tone);

    std::array<CnxK740RXReceiverManagerButton*, kMaxItems> buttons_{};
    std::array<QPushButton*, 4> commands_{};  // Help, About, Info, Cal
    QVBoxLayout* itemLayout_ = nullptr;
    QLabel* demoNote_ = nullptr;
};
