// The colour scheme as the whole application wears it: controls and menu items that do not apply
// look dimmed, and the menu item under the pointer or the keyboard is lit.
#include "ui/TmyColorScheme.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <functional>
#include <memory>

#include "GuiTestSupport.h"

namespace {

struct Control {
    const char* name;
    std::function<QWidget*()> make;
};

// How bright the control's text (or handle) is drawn, enabled or not.
int BrightestOf(QWidget* control, bool enabled) {
    control->setEnabled(enabled);
    control->resize(control->sizeHint());
    return Brightest(control->grab().toImage(), control->rect());
}

}  // namespace

TEST(TmyColorScheme, ControlsThatDoNotApplyLookDimmed) {
    EnsureQtApp();
    const SchemeApplied scheme;
    const TmyColorScheme& colours = TmyColorScheme::Default();
    const Control controls[] = {
        {"button", [] { return new QPushButton(QStringLiteral("Monitor")); }},
        {"label", [] { return new QLabel(QStringLiteral("Volume")); }},
        {"field", [] { return new QLineEdit(QStringLiteral("162.250")); }},
        {"spin box", [] { return new QSpinBox; }},
        {"check box", [] { return new QCheckBox(QStringLiteral("Loop")); }},
        {"slider",
         [] {
             auto* slider = new QSlider(Qt::Horizontal);
             slider->setValue(50);
             return slider;
         }},
    };
    for (const Control& c : controls) {
        const std::unique_ptr<QWidget> control(c.make());
        const int enabled = BrightestOf(control.get(), true);
        const int disabled = BrightestOf(control.get(), false);
        EXPECT_LE(disabled, colours.textSecondary.value() + 5) << c.name;
        EXPECT_GE(enabled - disabled, 40) << c.name;
    }
}

TEST(TmyColorScheme, MenuItemsThatDoNotApplyAreDimmedAndTheOneUnderThePointerIsLit) {
    EnsureQtApp();
    const SchemeApplied scheme;
    const TmyColorScheme& colours = TmyColorScheme::Default();
    QMenu menu;
    QAction* open = menu.addAction(QStringLiteral("Open..."));
    QAction* save = menu.addAction(QStringLiteral("Save..."));
    QAction* greyed = menu.addAction(QStringLiteral("Delete All"));
    greyed->setEnabled(false);
    QAction* checked = menu.addAction(QStringLiteral("Show Markers"));
    checked->setCheckable(true);
    checked->setChecked(true);
    menu.popup(QPoint(50, 50));
    ASSERT_TRUE(PumpUntil([&menu] { return menu.isVisible(); }));

    for (QAction* active : {open, save}) {
        menu.setActiveAction(active);
        PumpFor(30ms);
        const QImage shot = menu.grab().toImage();
        const auto background = [&](QAction* action) {
            const QRect item = menu.actionGeometry(action);
            return shot.pixelColor(item.left() + 2, item.center().y());
        };
        EXPECT_EQ(background(active), colours.focus);
        EXPECT_EQ(background(active == open ? save : open), colours.panel);
        EXPECT_EQ(background(greyed), colours.panel);
        EXPECT_GE(Brightest(shot, menu.actionGeometry(active == open ? save : open)),
                  colours.text.value() - 20);
        EXPECT_LE(Brightest(shot, menu.actionGeometry(greyed)),
                  colours.textDisabled().value() + 10);
        // The check mark still shows, left of the item's text.
        const QRect mark = menu.actionGeometry(checked);
        EXPECT_GE(Brightest(shot, QRect(mark.left(), mark.top(), 20, mark.height())),
                  colours.text.value() - 40);
    }
    // The keyboard does not stop on an item that does not apply.
    menu.setActiveAction(save);
    SendKey(menu, Qt::Key_Down);
    EXPECT_EQ(menu.activeAction(), checked);
    menu.hide();
}
