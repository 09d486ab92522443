#pragma once
// A receiver's sweep history as a spreadsheet file: a line per sweep, oldest first, the time the
// sweep began (UTC, ISO 8601) then its level in dBm at every point, blank where it had none. The
// header names each point by its channel ("ch50"), or by its frequency ("161500000 Hz") where it
// has none.
#include <QByteArray>
#include <QString>

class CnxSweepHistory;
class ScopeView;

class CnxSweepHistoryCsv {
public:
    static QByteArray Write(const CnxSweepHistory& history, const ScopeView& points);
    // False when the file cannot be written.
    static bool Export(const QString& path, const CnxSweepHistory& history,
                       const ScopeView& points);
};
