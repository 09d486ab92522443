#include "receiver/CnxK740RXCtrlReceiverManager.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "receiver/CnxK740RXReceiverManagerButton.h"
#include "ui/TmyColorScheme.h"

namespace {

QLabel* CreateSecondaryLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("secondary", true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, TmyColorScheme::Default().textSecondary);
    label->setPalette(palette);
    return label;
}

}  // namespace

CnxK740RXCtrlReceiverManager::CnxK740RXCtrlReceiverManager(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("panel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    QLabel* title = CreateSecondaryLabel(QStringLiteral("RECEIVERS"), this);
    QFont titleFont = TmyColorScheme::Default().uiFont();
    titleFont.setBold(true);
    titleFont.setLetterSpacing(QFont::PercentageSpacing, 110);
    title->setFont(titleFont);
    layout->addWidget(title);
    layout->addWidget(CreateItemList(), 1);

    demoNote_ = CreateSecondaryLabel(QString::fromLatin1(kDemoNote), this);
    demoNote_->setToolTip(tr("The selected receiver is simulated"));
    QFont noteFont = TmyColorScheme::Default().uiFont();
    noteFont.setPixelSize(11);
    demoNote_->setFont(noteFont);
    // The note keeps its room while hidden, so the buttons below never move.
    QSizePolicy notePolicy = demoNote_->sizePolicy();
    notePolicy.setRetainSizeWhenHidden(true);
    demoNote_->setSizePolicy(notePolicy);
    demoNote_->setVisible(false);
    layout->addWidget(demoNote_);
    layout->addWidget(CreateFurtherButtons());
}

// The receivers' buttons, top-aligned; a list longer than the window scrolls.
QWidget* CnxK740RXCtrlReceiverManager::CreateItemList() {
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("receiverList"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list itself never holds the focus: Page Up/Down and the arrows tune, they do not scroll.
    scroll->setFocusPolicy(Qt::NoFocus);
    // The list lies on the panel's own face rather than on the window background, with a slim
    // scroll bar in the scheme's colours.
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    scroll->setStyleSheet(
        QStringLiteral("#receiverList, #receiverList > QWidget, #receiverItems,"
                       " #receiverList QScrollBar:vertical { background: transparent; }"
                       "#receiverList QScrollBar:vertical { width: 6px; margin: 0 0 0 2px; }"
                       "#receiverList QScrollBar::handle:vertical { background: %1;"
                       " border-radius: 2px; min-height: 24px; }"
                       "#receiverList QScrollBar::add-line:vertical,"
                       " #receiverList QScrollBar::sub-line:vertical { height: 0; }"
                       "#receiverList QScrollBar::add-page:vertical,"
                       " #receiverList QScrollBar::sub-page:vertical { background: none; }")
            .arg(scheme.textSecondary.name()));
    auto* items = new QWidget(scroll);
    items->setObjectName(QStringLiteral("receiverItems"));
    itemLayout_ = new QVBoxLayout(items);
    itemLayout_->setContentsMargins(0, 0, 0, 0);
    itemLayout_->setSpacing(4);
    itemLayout_->addStretch(1);
    scroll->setWidget(items);
    return scroll;
}

QWidget* CnxK740RXCtrlReceiverManager::CreateFurtherButtons() {
    auto* box = new QWidget(this);
    box->setObjectName(QStringLiteral("receiverCommands"));
    box->setStyleSheet(QStringLiteral("#receiverCommands { background: transparent; }"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    commands_ = {
        CreateFurtherButton(QStringLiteral("Help"), tr("Open the manual (F1)"),
                            &CnxReceiverListModel::FireHelp),
        CreateFurtherButton(QStringLiteral("About"), tr("About this program and its version"),
                            &CnxReceiverListModel::FireAbout),
        CreateFurtherButton(QStringLiteral("Info"), tr("Show the selected receiver's details"),
                            &CnxReceiverListModel::FireInfo),
        CreateFurtherButton(QStringLiteral("Cal"), tr("Calibrate the selected receiver's S-meter"),
                            &CnxReceiverListModel::FireCal),
    };
    for (int i = 0; i < static_cast<int>(commands_.size()); ++i) {
        grid->addWidget(commands_[i], i / 2, i % 2);
    }
    return box;
}

QPushButton* CnxK740RXCtrlReceiverManager::CreateFurtherButton(
    const QString& text, const QString& toolTip, void (CnxReceiverListModel::*fire)()) {
    auto* button = new QPushButton(text, this);
    button->setToolTip(toolTip);
    // Reached by Tab; a click leaves the focus where it was, so the tuning keys keep working.
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, this, [this, fire] { (this->*fire)(); });
    return button;
}

CnxK740RXReceiverManagerButton* CnxK740RXCtrlReceiverManager::GetItemButton(int index) const {
    return GetItem(index) ? buttons_[index] : nullptr;
}

void CnxK740RXCtrlReceiverManager::OnButtonClicked(CnxK740RXReceiverManagerButton* button) {
    for (int index = 0; index < GetCount(); ++index) {
        if (buttons_[index] == button) {
            Select(index);
            return;
        }
    }
}

void CnxK740RXCtrlReceiverManager::ItemAdded(int index) {
    const SnxK740RXInfoListItem& item = *GetItem(index);
    auto* button =
        new CnxK740RXReceiverManagerButton(QString::fromStdString(item.label), !item.demo, this);
    buttons_[index] = button;
    // Before the stretch that keeps the list at the top.
    itemLayout_->insertWidget(index, button);
    connect(button, &QAbstractButton::clicked, this, [this, button] { OnButtonClicked(button); });
    UpdateTabOrder();
    ItemChanged(index);
}

// Tab walks the receivers from the top, then Help, About, Info and Cal.
void CnxK740RXCtrlReceiverManager::UpdateTabOrder() {
    QWidget* previous = buttons_[0];
    for (int index = 1; index < GetCount(); ++index) {
        setTabOrder(previous, buttons_[index]);
        previous = buttons_[index];
    }
    for (QPushButton* command : commands_) {
        setTabOrder(previous, command);
        previous = command;
    }
}

void CnxK740RXCtrlReceiverManager::ItemChanged(int index) {
    const SnxK740RXInfoListItem& item = *GetItem(index);
    CnxK740RXReceiverManagerButton* button = buttons_[index];
    button->setText(QString::fromStdString(item.text));
    button->SetTextColor(ColorOf(GetItemTone(index)));
    button->SetPressed(index == GetSelectedIndex());
    button->SetLamp(item.lamp);
    button->SetAlarm(item.alarm);
    button->SetReal(!item.demo);
    QString tip = tr("%1: select it to hear and control it (Ctrl+Tab / Ctrl+Shift+Tab: next /"
                     " previous receiver)")
                      .arg(QString::fromStdString(item.label));
    if (item.alarm) {
        tip += tr("\nConnection lost");
    } else if (item.demo) {
        tip += tr("\nSimulated receiver");
    }
    button->setToolTip(tip);
}

void CnxK740RXCtrlReceiverManager::DemoNoteChanged(bool shown) {
    demoNote_->setVisible(shown);
}

QColor CnxK740RXCtrlReceiverManager::ColorOf(TextTone tone) {
    switch (tone) {
        case TextTone::Alarm:
            return TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextAlarm);
        case TextTone::Selected:
            return TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextSelected);
        case TextTone::Normal:
            break;
    }
    return TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextNormal);
}
