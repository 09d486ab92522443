#pragma once
// The small modal dialog that names a marker: it shows the marker's channel and frequency and
// lets the operator write its comment.
#include <QDialog>

class QLabel;
class QLineEdit;
class TMarker;

class CnxK740RXDlgStoreSpectrumLabel : public QDialog {
    Q_OBJECT
public:
    // The caption is " Create Marker" or " Edit Marker".
    CnxK740RXDlgStoreSpectrumLabel(QWidget* parent, const QString& caption);

    // Shows the marker's values; on OK the marker takes the edited comment and 1 is returned,
    // any other close returns 0 and leaves the marker as it was.
    int Execute(TMarker& marker);

    // "Channel 50", or "Channel "Unknown"" when the frequency has no channel.
    static QString ChannelText(int channel);

    QLineEdit* GetCommentEdit() const { return comment_; }
    QString GetChannelText() const;

private:
    QLabel* channel_ = nullptr;
    QLabel* frequency_ = nullptr;
    QLineEdit* comment_ = nullptr;
};
