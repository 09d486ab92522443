#pragma once
// Markers kept between runs, with the radio they belong to: one file beside the settings holds
// the markers of every radio, keyed by its serial number, one marker per line:
//     serial <TAB> frequency in Hz <TAB> #rrggbb <TAB> comment
// with backslash escapes for tabs, line breaks, backslashes and '#' inside serial and comment.
// Saving one radio's markers keeps the other radios' and replaces the file in one step, so a crash
// never leaves half a file. Reading is lenient: a line that does not read is skipped and logged.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "scanner/SnxScopeMarker.h"

class CnxMarkerStore {
public:
    static constexpr const char* kFileName = "Markers.txt";
    // Lines beyond this are not read: the file holds a few radios' markers, not millions.
    static constexpr int kMaxEntries = 65536;

    struct Entry {
        QString serial;
        SnxScopeMarker marker;
        bool operator==(const Entry&) const = default;
    };

    // The folder is the settings folder; it is created when markers are first saved.
    explicit CnxMarkerStore(const QString& folder);
    QString GetPath() const { return path_; }

    // The radio's markers in the order they were saved (at most SnxScopeMarker::kMaxMarkers);
    // none when the file is missing.
    std::vector<SnxScopeMarker> Load(const QString& serial) const;
    // Replaces the radio's markers; false when the file cannot be written.
    bool Save(const QString& serial, const std::vector<SnxScopeMarker>& markers) const;

    static std::vector<Entry> Parse(QByteArrayView text, const QString& source = {});
    static QByteArray Write(const std::vector<Entry>& entries);

private:
    std::vector<Entry> ReadAll() const;

    QString folder_;
    QString path_;
};
