#include "scanner/CnxK7RCtrlScanButtons.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "ui/TmyColorScheme.h"

CnxK7RCtrlScanButtons::CnxK7RCtrlScanButtons(QWidget* parent) : QFrame(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    AddButton(kModeScan, QStringLiteral("\u25B6"),
              QStringLiteral("Scan: sweep the scan range (Space starts and stops)"));
    AddButton(kModePause, QStringLiteral("\u275A\u275A"),
              QStringLiteral("Pause: hold the sweep; press again to go on"));
    AddButton(kModeStop, QStringLiteral("\u25A0"),
              QStringLiteral("Stop: end the sweep and go back to the frequency before it"));
    AddButton(kLoopButton, QStringLiteral("\u27F2"),
              QStringLiteral("Loop: start the sweep over after each pass"));
    const TmyColorScheme& s = TmyColorScheme::Default();
    setStyleSheet(QStringLiteral("QToolButton { background: %1; color: %2; border: 1px solid %3;"
                                 " border-radius: 3px; min-width: 30px; min-height: 26px; }"
                                 "QToolButton:hover, QToolButton:focus { border-color: %4; }"
                                 "QToolButton:checked { background: %5; color: #000000; }"
                                 "QToolButton:disabled { color: %6; }")
                      .arg(s.buttonFace.name(), s.text.name(), s.border.name(), s.focus.name(),
                           s.display.name(), s.textSecondary.darker(140).name()));
    ShowValues();
}

QToolButton* CnxK7RCtrlScanButtons::AddButton(int id, const QString& glyph,
                                              const QString& toolTip) {
    auto* button = new QToolButton(this);
    button->setText(glyph);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip.section(QLatin1Char(':'), 0, 0));
    button->setCheckable(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setFont(TmyColorScheme::Default().displayFont(14));
    layout()->addWidget(button);
    buttons_[id] = button;
    connect(button, &QToolButton::clicked, this,
            [this, id](bool checked) { Clicked(id, checked); });
    return button;
}

void CnxK7RCtrlScanButtons::Clicked(int id, bool checked) {
    // A click toggles the button whatever the owner makes of the request: show what holds until
    // the owner says otherwise.
    ShowValues();
    if (id == kLoopButton) {
        if (const int32_t loop = checked ? 1 : 0; loop != loop_) {
            OnLoopChanged.Raise(this, loop);
        }
        return;
    }
    const int32_t mode = id == kModePause && mode_ == kModePause ? kModeScan : id;
    if (mode != mode_) {
        OnModeChanged.Raise(this, mode);
    }
}

void CnxK7RCtrlScanButtons::ShowMode(int32_t mode) {
    mode_ = mode;
    ShowValues();
}

void CnxK7RCtrlScanButtons::ShowLoop(int32_t loop) {
    loop_ = loop;
    ShowValues();
}

QAbstractButton* CnxK7RCtrlScanButtons::GetButton(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void CnxK7RCtrlScanButtons::ShowValues() {
    for (const auto& [id, button] : buttons_) {
        button->setChecked(id == kLoopButton ? loop_ != 0 : id == mode_);
    }
}
