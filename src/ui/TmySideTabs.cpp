#include "ui/TmySideTabs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kButtonSide = 26;
}  // namespace

TmySideTabs::TmySideTabs(QWidget* parent)
    : QWidget(parent),
      buttons_(new QVBoxLayout),
      group_(new QButtonGroup(this)),
      pages_(new QStackedWidget(this)) {
    buttons_->setContentsMargins(0, 0, 0, 0);
    buttons_->setSpacing(4);
    buttons_->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(buttons_);
    layout->addWidget(pages_, 1);
    connect(group_, &QButtonGroup::idClicked, pages_, &QStackedWidget::setCurrentIndex);
}

int TmySideTabs::AddPage(QWidget* page, const QString& glyph, const QString& toolTip) {
    const int index = pages_->addWidget(page);
    auto* button = new QPushButton(glyph, this);
    button->setCheckable(true);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setFixedSize(kButtonSide, kButtonSide);
    // Reached by Tab; a click leaves the focus where it was, so the window's keys (Space for
    // the scan) keep working.
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    group_->addButton(button, index);
    buttons_->insertWidget(index, button);
    button->setChecked(index == pages_->currentIndex());
    return index;
}

void TmySideTabs::SetCurrent(int index) {
    if (QAbstractButton* button = Button(index)) {
        button->setChecked(true);
        pages_->setCurrentIndex(index);
    }
}

int TmySideTabs::GetCurrent() const {
    return pages_->currentIndex();
}

QAbstractButton* TmySideTabs::Button(int index) const {
    return group_->button(index);
}
