#pragma once
// The current sweep of a bar graph as a spreadsheet file for the operator's report: one line per
// point with its frequency in Hz, its channel, and its level, weakest and strongest level in dBm,
// each blank where the point holds none.
#include <QByteArray>
#include <QString>

class ScopeView;

class CnxSweepCsv {
public:
    static constexpr const char* kHeader = "Frequency (Hz),Channel,Level (dBm),Min (dBm),Max (dBm)";

    static QByteArray Write(const ScopeView& view);
    // False when the file cannot be written.
    static bool Export(const QString& path, const ScopeView& view);
};
