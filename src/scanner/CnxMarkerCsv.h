#pragma once
// Markers as a spreadsheet file, to hand them to others or take theirs: one marker per line with
// its frequency in Hz, its channel, its comment and its colour ("#rrggbb"), under a header line.
// Reading is lenient: the channel is found anew from the frequency, a missing or unreadable
// colour is the default green, and a line without a frequency is skipped and logged.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "scanner/SnxScopeMarker.h"

class CnxMarkerCsv {
public:
    static constexpr const char* kHeader = "Frequency (Hz),Channel,Comment,Colour";

    static QByteArray Write(const std::vector<SnxScopeMarker>& markers);
    // At most SnxScopeMarker::kMaxMarkers markers; `source` names the file in the log.
    static std::vector<SnxScopeMarker> Parse(QByteArrayView text, const QString& source = {});

    // False when the file cannot be written or read.
    static bool Export(const QString& path, const std::vector<SnxScopeMarker>& markers);
    static bool Import(const QString& path, std::vector<SnxScopeMarker>* markers);
};
