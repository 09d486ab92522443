#pragma once
// The frequency entry of the main window: a large read-out that turns into an edit field when
// clicked. It only draws its model and feeds it keys; the owner answers the model's events.
#include <QWidget>

#include "tuning/CnxFrequencyEntryModel.h"

class CnxCtrlFrequency : public QWidget {
    Q_OBJECT

    // First member: the event references below bind to it.
    CnxFrequencyEntryModel model_{this};

public:
    explicit CnxCtrlFrequency(QWidget* parent = nullptr);

    CnxFrequencyEntryModel& Model() { return model_; }
    const CnxFrequencyEntryModel& Model() const { return model_; }

    TmyEventList<int32_t>& OnFrequencyChanged = model_.OnFrequencyChanged;
    TmyEventList<int32_t>& OnFrequency375Changed = model_.OnFrequency375Changed;
    TmyEventList<int32_t>& OnFrequencySpinChanged = model_.OnFrequencySpinChanged;

    // Read-out, edit field and unit label are enabled or disabled together; disabling closes an
    // open edit field without taking its text.
    void enable(bool flag) { setEnabled(flag); }
    // Opens the edit field (if it is not open yet) with `c` typed; false while disabled.
    bool OpenEditWith(QChar c);
    void SetCaption(const QString& caption);
    // Why the last value typed or stepped to was refused.
    const QString& GetRefusalNote() const { return refusalNote_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool HandleEditKey(const QKeyEvent& event);
    QRect DisplayRect() const;
    int ValuePixelSize() const;
    void PaintDisplay(QPainter& painter) const;
    void PaintEditText(QPainter& painter, const QRect& area) const;

    void Refused(int32_t asked);

    QString caption_;
    QString refusalNote_;
    TmySubscription refusals_;
};
