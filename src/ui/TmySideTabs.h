#pragma once
// Pages that share one place, one shown at a time, chosen with a column of small glyph buttons at
// their left: tabs that take no height, for a band of the window that has little of it.
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QStackedWidget;
class QVBoxLayout;

class TmySideTabs : public QWidget {
    Q_OBJECT
public:
    explicit TmySideTabs(QWidget* parent = nullptr);

    // The page goes under a button with the glyph; its tooltip says what the page is. The first
    // page added is shown.
    int AddPage(QWidget* page, const QString& glyph, const QString& toolTip);
    void SetCurrent(int index);
    int GetCurrent() const;
    QAbstractButton* Button(int index) const;

private:
    QVBoxLayout* buttons_;
    QButtonGroup* group_;
    QStackedWidget* pages_;
};
