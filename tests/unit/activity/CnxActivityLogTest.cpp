// The day files of the activity log: their names, header and lines, a new file for a new UTC day,
// valid CSV whatever the receiver is called, and a folder that cannot be written.
#include "activity/CnxActivityLog.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "settings/CnxCsvReader.h"

namespace {

int64_t Utc(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

SnxActivityHit Hit(const char* start, const char* end) {
    SnxActivityHit hit;
    hit.id = 1;
    hit.slot = 2;
    hit.serial = QStringLiteral("4711001");
    hit.frequency = 142750000;
    hit.channel = 50;
    hit.startMs = Utc(start);
    hit.endMs = Utc(end);
    hit.peakDbm = -58.94;
    hit.sumDbm = -62.0 * 3 - 61.0;
    hit.readings = 4;
    hit.end = SnxActivityHit::End::kQuiet;
    return hit;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QByteArray kHeaderLine =
    "start_utc,end_utc,duration_s,receiver_serial,slot,channel,frequency_hz,peak_dbm,mean_dbm,"
    "end_reason,recording\n";

TEST(ActivityLog, EachHitIsOneLineInTheFileOfTheUtcDayItBegan) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    CnxActivityLog log(home.filePath(QStringLiteral("Activity")));
    SnxActivityHit first = Hit("2024-05-01T14:02:11.123Z", "2024-05-01T14:02:15.373Z");
    first.recording = CnxActivityLog::RecordingName(first);
    EXPECT_EQ(first.recording, QStringLiteral("hit-2024-05-01-14-02-11.123-ch50.wav"));
    // Begun before midnight, ended after: still the day it began.
    SnxActivityHit late = Hit("2024-05-01T23:59:59.900Z", "2024-05-02T00:00:01.000Z");
    late.channel = 0;
    late.frequency = 154012500;
    late.end = SnxActivityHit::End::kLost;
    SnxActivityHit next = Hit("2024-05-02T00:00:03.000Z", "2024-05-02T00:01:03.000Z");
    next.slot = 7;
    next.end = SnxActivityHit::End::kStopped;
    for (const SnxActivityHit& hit : {first, late, next}) {
        ASSERT_TRUE(log.Append(hit)) << log.GetError().toStdString();
    }

    EXPECT_EQ(CnxActivityLog::FileName(first.startMs), QStringLiteral("activity-2024-05-01.csv"));
    EXPECT_EQ(Read(log.PathFor(first.startMs)),
              kHeaderLine +
                  "2024-05-01T14:02:11.123Z,2024-05-01T14:02:15.373Z,4.250,4711001,3,50,142750000,"
                  "-58.9,-61.8,quiet,hit-2024-05-01-14-02-11.123-ch50.wav\n"
                  "2024-05-01T23:59:59.900Z,2024-05-02T00:00:01.000Z,1.100,4711001,3,,154012500,"
                  "-58.9,-61.8,lost,\n");
    EXPECT_EQ(Read(home.filePath(QStringLiteral("Activity/activity-2024-05-02.csv"))),
              kHeaderLine +
                  "2024-05-02T00:00:03.000Z,2024-05-02T00:01:03.000Z,60.000,4711001,8,50,142750000,"
                  "-58.9,-61.8,stopped,\n");
    EXPECT_EQ(CnxActivityLog::RecordingName(late),
              QStringLiteral("hit-2024-05-01-23-59-59.900-154012500Hz.wav"));
}

TEST(ActivityLog, AnyReceiverNameKeepsTheFileValidCsv) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    CnxActivityLog log(home.path());
    const QStringList names = {QStringLiteral("plain"),      QStringLiteral("a,b"),
                               QStringLiteral("say \"hi\""), QStringLiteral("two\nlines"),
                               QStringLiteral("cr\r\nlf"),   QStringLiteral(" spaced "),
                               QStringLiteral("\"\""),       QStringLiteral("Ä,\u263a"),
                               QStringLiteral(""),           QStringLiteral(",")};
    SnxActivityHit hit = Hit("2024-05-01T10:00:00.000Z", "2024-05-01T10:00:01.000Z");
    for (const QString& name : names) {
        hit.serial = name;
        hit.recording = name + QStringLiteral(".wav");
        ASSERT_TRUE(log.Append(hit));
    }
    QFile file(log.PathFor(hit.startMs));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    CnxCsvReader reader(file, 20, 1 << 20);
    CnxCsvReader::Record record;
    ASSERT_TRUE(reader.Next(&record));
    EXPECT_EQ(record.fields.join(QLatin1Char(',')).toUtf8() + '\n', kHeaderLine);
    for (const QString& name : names) {
        ASSERT_TRUE(reader.Next(&record));
        ASSERT_TRUE(record.problem.isEmpty()) << record.problem.toStdString();
        ASSERT_EQ(record.fields.size(), 11) << name.toStdString();
        EXPECT_EQ(record.fields[3], name);
        EXPECT_EQ(record.fields[10], name + QStringLiteral(".wav"));
        EXPECT_EQ(record.fields[9], QStringLiteral("quiet"));
    }
    EXPECT_FALSE(reader.Next(&record));
}

// A plain file where the folder should be stops everyone, root included.
TEST(ActivityLog, AFolderThatCannotBeWrittenIsReportedWithTheReasonAndALaterWriteWorks) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.filePath(QStringLiteral("Activity"));
    QFile obstacle(folder);
    ASSERT_TRUE(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    CnxActivityLog log(folder);
    const SnxActivityHit hit = Hit("2024-05-01T10:00:00.000Z", "2024-05-01T10:00:01.000Z");
    EXPECT_FALSE(log.Append(hit));
    EXPECT_TRUE(log.GetError().contains(folder)) << log.GetError().toStdString();

    // The day's file itself in the way (a folder of its name).
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().mkpath(log.PathFor(hit.startMs)));
    EXPECT_FALSE(log.Append(hit));
    EXPECT_TRUE(log.GetError().contains(log.PathFor(hit.startMs))) << log.GetError().toStdString();

    ASSERT_TRUE(QDir(log.PathFor(hit.startMs)).removeRecursively());
    EXPECT_TRUE(log.Append(hit));
    EXPECT_EQ(Read(log.PathFor(hit.startMs)).count('\n'), 2);
}

}  // namespace
