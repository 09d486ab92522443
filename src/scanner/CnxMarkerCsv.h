#pragma once
// Markers as a spreadsheet file, to hand them to others or take theirs: one marker per line with
// its frequency in Hz, its channel, its comment and its colour ("#rrggbb"), under a header line.
// Reading takes what a graph can place and says what it left: the channel is found anew from the
// frequency and a missing or unreadable colour is the default green, but a line without a whole
// frequency in the receivers' band is skipped, and so is everything past the room on the graph.
// The file is read line by line and no further than kMaxFileBytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "scanner/SnxScopeMarker.h"

class QIODevice;

class CnxMarkerCsv {
public:
    static constexpr const char* kHeader = "Frequency (Hz),Channel,Comment,Colour";
    // A file of the most markers a graph holds, with long comments, is far smaller.
    static constexpr qint64 kMaxFileBytes = 1 << 20;
    // Skipped lines named one by one; the rest are only counted.
    static constexpr int kListedSkips = 5;

    struct Skip {
        int line;
        QString reason;
        bool operator==(const Skip&) const = default;
    };
    struct Result {
        std::vector<SnxScopeMarker> markers;
        int skipped = 0;  // lines that hold no marker that can be placed
        std::vector<Skip> firstSkips;
        int overRoom = 0;    // good markers left out: the graph had no room for them
        int unreadLine = 0;  // reading stopped at the size limit here (0: read to the end)

        // What the operator is told: how many were imported, how many lines were skipped (the
        // first few with their line numbers and reasons), and what did not fit.
        QString Summary() const;
    };

    static QByteArray Write(const std::vector<SnxScopeMarker>& markers);
    // At most `room` markers are taken.
    static Result Read(QIODevice& device, int room = SnxScopeMarker::kMaxMarkers);
    static Result Parse(QByteArrayView text, int room = SnxScopeMarker::kMaxMarkers);

    // False when the file cannot be written or read.
    static bool Export(const QString& path, const std::vector<SnxScopeMarker>& markers);
    static bool Import(const QString& path, int room, Result* result);
};
