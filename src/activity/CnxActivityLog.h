#pragma once
// The activity log on disk: one CSV file per UTC day in the settings folder,
// Activity/activity-YYYY-MM-DD.csv, one line per closed hit, appended and flushed the moment the
// hit closes, so that a log read while the program runs (or after it died) holds every hit closed
// so far. A hit goes into the file of the day it began. Times are ISO 8601 UTC with milliseconds;
// text fields are quoted where they need it, so any receiver name keeps the file valid CSV.
#include <QString>
#include <cstdint>

#include "activity/SnxActivityHit.h"

class CnxActivityLog {
public:
    static constexpr const char* kHeader =
        "start_utc,end_utc,duration_s,receiver_serial,slot,channel,frequency_hz,peak_dbm,mean_dbm,"
        "end_reason,recording";

    // The folder the day files go to (created when the first hit is written).
    explicit CnxActivityLog(QString folder);
    const QString& GetFolder() const { return folder_; }

    // "activity-2024-05-01.csv" for a time on that UTC day.
    static QString FileName(int64_t utcMs);
    QString PathFor(int64_t utcMs) const;
    // "2024-05-01T14:02:11.123Z"
    static QString IsoTime(int64_t utcMs);
    // A hit's line, without its line feed; slots are counted from 1 as the window names them.
    static QString Row(const SnxActivityHit& hit);
    // The name of a hit's recording, after its start and channel:
    // "hit-2024-05-01-14-02-11.123-ch50.wav" ("...-154012500Hz.wav" without a channel).
    static QString RecordingName(const SnxActivityHit& hit);

    // Appends the hit's line, with the header first in a new file. False when it cannot be
    // written; GetError() then says where and why.
    bool Append(const SnxActivityHit& hit);
    const QString& GetError() const { return error_; }

private:
    QString folder_;
    QString error_;
};
