#pragma once
// A marker pinned on a bar graph: a vertical line at one frequency with a small label naming the
// sonobuoy channel and the operator's comment.
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

#include "scanner/SnxScopeMarker.h"
#include "scanner/TScopeObject.h"

class TMarker : public TScopeObject {
public:
    // Labels hold at most this many bytes of UTF-8 text.
    static constexpr int kMaxLabelBytes = 127;

    explicit TMarker(ScopeView* owner);

    void Redraw() override;
    void Layout() override;

    // Also finds the channel of the frequency.
    void SetFrequency(int64_t hertz);
    int64_t GetFrequency() const { return frequency_; }
    int GetChannel() const { return channel_; }  // -1: none
    // Also recomputes the label.
    void SetComment(const QString& comment);
    const QString& GetComment() const { return comment_; }
    void SetRgb(uint32_t rgb) { rgb_ = rgb; }
    uint32_t GetRgb() const { return rgb_; }

    // "Ch.50, comment", or "Ch.50 " without a comment.
    const QString& GetLabelText() const { return labelText_; }
    QSize GetLabelSize() const { return labelSize_; }
    static QString LabelText(int channel, const QString& comment);

    // Where the owner's layout put it; not placed while it lies outside the visible plot.
    void SetPlacement(int lineX, const QRect& label);
    void ClearPlacement() { placed_ = false; }
    bool IsPlaced() const { return placed_; }
    int GetLineX() const { return lineX_; }
    const QRect& GetLabelRect() const { return labelRect_; }

    // Copies the values the label dialog edits.
    void CopyValuesFrom(const TMarker& other);
    SnxScopeMarker ToRecord() const { return {frequency_, comment_, rgb_}; }

private:
    int64_t frequency_ = 0;
    int channel_ = -1;
    QString comment_;
    uint32_t rgb_ = SnxScopeMarker::kDefaultRgb;
    QString labelText_;
    QSize labelSize_;
    bool placed_ = false;
    int lineX_ = 0;
    QRect labelRect_;
};
