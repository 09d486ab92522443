#pragma once
// A marker as files keep it: where it is, what the operator wrote, and its colour.
#include <QString>
#include <cstdint>

struct SnxScopeMarker {
    // Pure green, the colour of markers created from the graph.
    static constexpr uint32_t kDefaultRgb = 0x00ff00;
    // Longer comments are cut: labels stay readable and a broken file cannot make them huge.
    static constexpr int kMaxCommentLength = 255;
    // A graph holds at most this many markers, however they come: created, imported or kept for
    // the radio between runs.
    static constexpr int kMaxMarkers = 1000;

    int64_t frequency = 0;  // Hz
    QString comment;
    uint32_t rgb = kDefaultRgb;  // 0xRRGGBB

    bool operator==(const SnxScopeMarker&) const = default;

    // A comment as a label can show it: one line, without control characters, not too long.
    static QString CleanComment(const QString& comment);
    // "#rrggbb" and back; false for anything else.
    static QString RgbText(uint32_t rgb);
    static bool ParseRgb(const QString& text, uint32_t* rgb);
};
