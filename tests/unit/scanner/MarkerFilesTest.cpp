// The files markers and sweeps go to: the per-radio marker file beside the settings, and the CSV
// files for export and import.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "LogCapture.h"
#include "ScopeRun.h"
#include "scanner/CnxMarkerCsv.h"
#include "scanner/CnxMarkerStore.h"
#include "scanner/CnxSweepCsv.h"
#include "scanner/ScopeView.h"
#include "settings/CnxCsvReader.h"

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const std::vector<SnxScopeMarker> kMarkers = {
    {142750000, QStringLiteral("Buoy west, \"B\" line"), 0x00ff00},
    {162250000, QString(), 0xff4040},
    {161500000, QStringLiteral("back\\slash"), 0x123abc},
};

}  // namespace

TEST(CnxMarkerStore, EachRadioGetsBackItsOwnMarkersAndOthersAreKept) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("Documents/Quorvant/K740RX"));
    const CnxMarkerStore store(folder);
    EXPECT_TRUE(store.Load(QStringLiteral("A1")).empty());  // no file yet

    ASSERT_TRUE(store.Save(QStringLiteral("A1"), kMarkers));
    ASSERT_TRUE(store.Save(QStringLiteral("#B 2\t"), {{150000000, QStringLiteral("x"), 1}}));
    // Backslashes in comments, tabs and a leading '#' in serials survive their escapes.
    EXPECT_EQ(store.Load(QStringLiteral("A1")), kMarkers);
    EXPECT_EQ(store.Load(QStringLiteral("#B 2\t")),
              (std::vector<SnxScopeMarker>{{150000000, QStringLiteral("x"), 1}}));

    // Saving a radio again replaces only its own markers.
    ASSERT_TRUE(store.Save(QStringLiteral("A1"), {kMarkers[1]}));
    EXPECT_EQ(store.Load(QStringLiteral("A1")), std::vector<SnxScopeMarker>{kMarkers[1]});
    ASSERT_TRUE(store.Save(QStringLiteral("A1"), {}));
    EXPECT_TRUE(store.Load(QStringLiteral("A1")).empty());
    EXPECT_EQ(store.Load(QStringLiteral("#B 2\t")).size(), 1u);

    // Saved in one step: no temporary file is left beside it.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{CnxMarkerStore::kFileName});

    // A folder that cannot be created is reported, not crashed on.
    const QString blocker = home.filePath(QStringLiteral("file"));
    WriteFile(blocker, "not a folder");
    const CnxMarkerStore blocked(blocker + QStringLiteral("/below"));
    EXPECT_FALSE(blocked.Save(QStringLiteral("A1"), kMarkers));
}

TEST(CnxMarkerStore, BrokenLinesAreSkippedAndTheRestLoads) {
    QByteArray text =
        "# comment line\n"
        "A1\t142750000\t#00ff00\tgood one\n"
        "A1\t142750000\t#00ff00\n"            // a field short
        "A1\t142750000\t#00ff00\tx\textra\n"  // a field too many
        "A1\tfast\t#00ff00\tno number\n"
        "A1\t-5\t#00ff00\tnegative\n"
        "A1\t150000000\tgreen\tno colour\n"
        "\t150000000\t#00ff00\tno serial\n";
    text += QByteArray("\xff\xfe\x00\x01\x02 binary\n", 13);
    text += "\r\nA1\t154000000\t#0000FF\t";
    text += QByteArray(100000, 'c');  // a huge comment, and no final line feed
    const auto entries = CnxMarkerStore::Parse(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].marker, (SnxScopeMarker{142750000, QStringLiteral("good one"), 0x00ff00}));
    EXPECT_EQ(entries[1].marker.frequency, 154000000);
    EXPECT_EQ(entries[1].marker.rgb, 0x0000ffu);
    EXPECT_EQ(entries[1].marker.comment.size(), SnxScopeMarker::kMaxCommentLength);

    // What was written reads back the same, byte-order mark characters included.
    EXPECT_EQ(CnxMarkerStore::Parse(CnxMarkerStore::Write(entries)), entries);
    const QString bom(QChar(0xfeff));
    const std::vector<CnxMarkerStore::Entry> marked = {{bom + "A", {1, bom + "x", 1}}};
    EXPECT_EQ(CnxMarkerStore::Parse(CnxMarkerStore::Write(marked)), marked);

    // A radio gets no more markers than a graph takes.
    QByteArray many;
    for (int i = 0; i < SnxScopeMarker::kMaxMarkers + 5; ++i) {
        many += "A1\t" + QByteArray::number(136000000 + i) + "\t#00ff00\t\n";
    }
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CnxMarkerStore::kFileName), many);
    EXPECT_EQ(int(CnxMarkerStore(folder.path()).Load(QStringLiteral("A1")).size()),
              SnxScopeMarker::kMaxMarkers);
}

TEST(CnxMarkerCsv, ExportedMarkersImportAsTheyWere) {
    const QByteArray csv = CnxMarkerCsv::Write(kMarkers);
    // The third has no channel: it lies in the gap.
    EXPECT_EQ(csv,
              QByteArray(CnxMarkerCsv::kHeader) +
                  "\n142750000,50,\"Buoy west, \"\"B\"\" line\",#00ff00\n162250000,1,,#ff4040\n"
                  "161500000,,back\\slash,#123abc\n");
    EXPECT_EQ(CnxMarkerCsv::Parse(csv).markers, kMarkers);
    // A comment that starts with a byte-order mark character keeps it.
    const std::vector<SnxScopeMarker> marked = {{136000000, QString(QChar(0xfeff)) + "x", 1}};
    EXPECT_EQ(CnxMarkerCsv::Parse(CnxMarkerCsv::Write(marked)).markers, marked);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("markers.csv"));
    ASSERT_TRUE(CnxMarkerCsv::Export(path, kMarkers));
    CnxMarkerCsv::Result imported;
    ASSERT_TRUE(CnxMarkerCsv::Import(path, SnxScopeMarker::kMaxMarkers, &imported));
    EXPECT_EQ(imported.markers, kMarkers);
    EXPECT_EQ(imported.Summary(), "3 markers were imported.");
}

TEST(CnxMarkerCsv, ImportTakesWhatItCanFromASpreadsheetsFile) {
    QByteArray text =
        "\xef\xbb\xbf"
        "Frequency (Hz),Channel,Comment,Colour\r\n"
        "142750000,99,\"two\r\nlines\",#00FF00\r\n"  // the channel is found anew
        "150000000\r\n"                              // frequency only
        "\r\n"                                       // a blank line says nothing
        "not a number,1,x,#000000\n"
        "-1,1,negative,#000000\n"
        "\x01\x02\xff,,\n"
        "999999999,,far above the band,\n"
        "135999999,,just below it,\n";
    text += QByteArray("1500\0 00000,,a zero byte,\n", 26);
    text +=
        "154000000,80,\"unclosed\n"  // only this line is lost
        "160000000,,pink,#ff00zz\n"  // an unreadable colour is the default green
        "225000000,,top of the extended band\n"
        "155000000,,plain,";  // no final line feed
    const CnxMarkerCsv::Result result = CnxMarkerCsv::Parse(text);
    ASSERT_EQ(result.markers.size(), 5u);
    EXPECT_EQ(result.markers[0],
              (SnxScopeMarker{142750000, QStringLiteral("two  lines"), 0x00ff00}));
    EXPECT_EQ(result.markers[1],
              (SnxScopeMarker{150000000, QString(), SnxScopeMarker::kDefaultRgb}));
    EXPECT_EQ(result.markers[2],
              (SnxScopeMarker{160000000, QStringLiteral("pink"), SnxScopeMarker::kDefaultRgb}));
    EXPECT_EQ(result.markers[3].frequency, 225000000);
    EXPECT_EQ(result.markers[4],
              (SnxScopeMarker{155000000, QStringLiteral("plain"), SnxScopeMarker::kDefaultRgb}));
    EXPECT_EQ(result.skipped, 7);
    EXPECT_EQ(result.firstSkips, (std::vector<CnxMarkerCsv::Skip>{
                                     {6, QStringLiteral("frequency is not a whole number of Hz")},
                                     {7, QStringLiteral("frequency is not a whole number of Hz")},
                                     {8, QStringLiteral("frequency is not a whole number of Hz")},
                                     {9, QStringLiteral("frequency outside 136–225 MHz")},
                                     {10, QStringLiteral("frequency outside 136–225 MHz")}}));
    EXPECT_EQ(result.Summary(),
              "5 markers were imported.\n7 lines were skipped:\n"
              "    line 6: frequency is not a whole number of Hz\n"
              "    line 7: frequency is not a whole number of Hz\n"
              "    line 8: frequency is not a whole number of Hz\n"
              "    line 9: frequency outside 136–225 MHz\n"
              "    line 10: frequency outside 136–225 MHz\n"
              "    and 2 more");
    EXPECT_EQ(CnxMarkerCsv::Parse("160000000,2,3,4,5,6\n").markers.size(), 1u);  // extra columns

    // A quote closed a few lines on holds the line breaks; one never closed costs its line.
    const auto quoted = CnxMarkerCsv::Parse("140000000,,\"a\nb\nc\",#0000ff\n141000000,,\"x\n");
    ASSERT_EQ(quoted.markers.size(), 1u);
    EXPECT_EQ(quoted.markers[0].comment, QStringLiteral("a b c"));
    EXPECT_EQ(quoted.firstSkips, (std::vector<CnxMarkerCsv::Skip>{{4, "quote not closed"}}));
}

TEST(CnxMarkerCsv, ImportStopsWhereTheGraphIsFullAndAtTheSizeLimit) {
    QByteArray many;
    for (int i = 0; i < SnxScopeMarker::kMaxMarkers + 10; ++i) {
        many += QByteArray::number(136000000 + i) + "\n";
    }
    const auto full = CnxMarkerCsv::Parse(many);
    EXPECT_EQ(int(full.markers.size()), SnxScopeMarker::kMaxMarkers);
    EXPECT_EQ(full.overRoom, 10);
    const auto someRoom = CnxMarkerCsv::Parse(many, 3);
    EXPECT_EQ(someRoom.markers.size(), 3u);
    EXPECT_EQ(someRoom.overRoom, SnxScopeMarker::kMaxMarkers + 7);

    // A huge file of bad lines: read no further than the limit, each bad line counted, the first
    // few named, and one line in the log for the whole file.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("huge.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bad = "x\n";
    const QByteArray block = bad.repeated(64 * 1024);
    for (int i = 0; i < 16; ++i) {  // 2 MiB
        file.write(block);
    }
    file.write("150000000,,after the limit\n");
    file.close();
    CnxMarkerCsv::Result result;
    {
        LogCapture log;
        ASSERT_TRUE(CnxMarkerCsv::Import(path, SnxScopeMarker::kMaxMarkers, &result));
        EXPECT_LE(log.Take().size(), 1u);
    }
    EXPECT_TRUE(result.markers.empty());
    EXPECT_EQ(result.skipped, int(CnxMarkerCsv::kMaxFileBytes / bad.size()));
    EXPECT_EQ(int(result.firstSkips.size()), CnxMarkerCsv::kListedSkips);
    EXPECT_EQ(result.unreadLine, result.skipped + 1);
    EXPECT_TRUE(result.Summary().endsWith(
        QStringLiteral("The file is larger than 1024 KiB: lines from %1 on were not read.")
            .arg(result.unreadLine)));

    // A line far longer than any marker's is one bad line, not the end of the file.
    const QByteArray longLine = QByteArray(CnxCsvReader::kMaxLineBytes * 3, 'c') + "\n";
    const auto afterLong = CnxMarkerCsv::Parse(longLine + "150000000\n");
    EXPECT_EQ(afterLong.markers.size(), 1u);
    EXPECT_EQ(afterLong.firstSkips,
              (std::vector<CnxMarkerCsv::Skip>{{1, "line longer than 4096 bytes"}}));
}

TEST(CnxSweepCsv, EveryPointGetsALineWithBlanksWhereItHoldsNothing) {
    ScopeView view;
    ScopeRun run(view);
    for (int i = 0; i < 99; ++i) {
        run.Add(i == 18 ? -60.0 : -100.0);
    }
    run.Add(-70.3);                                     // point 0, second sweep
    run.Add(std::numeric_limits<double>::quiet_NaN());  // point 1: failed reading

    const QList<QByteArray> lines = CnxSweepCsv::Write(view).split('\n');
    ASSERT_EQ(lines.size(), 1 + 99 + 1);  // header, points, the empty rest after the last line
    EXPECT_EQ(lines[0], CnxSweepCsv::kHeader);
    EXPECT_EQ(lines[1], "136000000,32,-70.3,-100.0,-70.3");
    EXPECT_EQ(lines[2], "136375000,33,-100.0,-100.0,-100.0");  // kept from the first sweep
    EXPECT_EQ(lines[3], "136750000,34,-100.0,,");              // not passed in this sweep yet
    EXPECT_EQ(lines[19], "142750000,50,-60.0,,");
    EXPECT_EQ(lines[69], "162250000,1,-100.0,,");
    EXPECT_TRUE(lines[100].isEmpty());

    ScopeView empty;
    EXPECT_EQ(CnxSweepCsv::Write(empty).split('\n')[1], "136000000,32,,,");
}
