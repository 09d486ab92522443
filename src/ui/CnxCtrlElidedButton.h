#pragma once
// A push button that gives up room when the window is short of it: it asks for the room of its
// whole text, makes do with the room of a few characters, and shows as much of the text as fits,
// cutting the rest with an ellipsis. The tooltip is where the whole text can be read then.
#include <QPushButton>

class CnxCtrlElidedButton : public QPushButton {
    Q_OBJECT
public:
    // `fewest`: how many characters of the text it shows at the least.
    CnxCtrlElidedButton(QWidget* parent, int fewest);

    void SetFullText(const QString& text);
    const QString& GetFullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QSize SizeFor(const QString& text) const;
    void Elide();

    QString full_;
    int fewest_;
};
