// The records of the discs made: which record a run goes to, the files' names, what a record keeps and how it
// reads back, on real files in a folder of the test's own.
#include "run/discrecords.h"
#include "tracks/playlist.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>
#include <vector>

namespace quorvex {
namespace {

const QDateTime noon(QDate(2026, 12, 9), QTime(12, 0));

// A run that found `before` tracks on the disc (none: pause mode) and made `made` tracks after them.
RecordedRun runOf(double hoursLater, std::optional<int> before, int made) {
    RecordedRun run{.started = noon.addSecs(static_cast<qint64>(hoursLater * 3600)),
                    .before = before ? std::optional(DiscContents{.tracks = *before, .seconds = 600})
                                     : std::nullopt,
                    .tracks = {},
                    .checked = {},
                    .notChecked = {},
                    .onDisc = {}};
    for (int track = 1; track <= made; ++track) {
        const int number = before.value_or(0) + track;
        run.tracks.push_back(
            {.number = number,
             .title = QStringLiteral("Title %1").arg(number),
             .recorderTitle = QStringLiteral("T%1").arg(number),
             .mark = QStringLiteral("recorded"),
             .length = std::chrono::milliseconds(61'000),
             .source = {.path = QStringLiteral("/music/%1.flac").arg(number), .cue = std::nullopt}});
    }
    return run;
}

std::vector<int> numbersOf(const DiscRecord& record) {
    std::vector<int> numbers;
    for (const RecordedTrack& track : record.tracks()) {
        numbers.push_back(track.number);
    }
    return numbers;
}

// Each case from an empty folder: the runs in turn, then how many records there are and the tracks of the
// record the last run went to.
TEST(DiscRecords, ARunGoesToItsDiscsRecordOrStartsOne) {
    struct Step {
        const char* discName;
        double hoursLater;
        std::optional<int> before;
        int made;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::size_t records;
        std::vector<int> lastRecord;
        const char* lastFile;
    } cases[] = {
        {"one run", {{"Mix", 0, 5, 2}}, 1, {6, 7}, "Mix 2026-12-09.m3u8"},
        {"the same disc", {{"Mix", 0, 5, 2}, {"Mix", 1, 7, 1}}, 1, {6, 7, 8}, "Mix 2026-12-09.m3u8"},
        {"another disc of that name",
         {{"Mix", 0, 5, 2}, {"Mix", 1, 0, 1}},
         2,
         {1},
         "Mix 2026-12-09 (2).m3u8"},
        {"another name", {{"Mix", 0, 5, 2}, {"Other", 1, 7, 1}}, 2, {8}, "Other 2026-12-09.m3u8"},
        {"pause mode never adds", {{"Mix", 0, 5, 2}, {"Mix", 1, std::nullopt, 1}}, 2, {1}, nullptr},
        {"untitled within 12 hours",
         {{"", 0, 0, 2}, {"", 11.9, 2, 1}},
         1,
         {1, 2, 3},
         "Untitled disc 2026-12-09 12_00.m3u8"},
        {"untitled past 12 hours",
         {{"", 0, 0, 2}, {"", 12.1, 2, 1}},
         2,
         {3},
         "Untitled disc 2026-12-10 00_06.m3u8"},
        {"untitled: the newest only", {{"", 0, 0, 2}, {"", 1, 9, 1}, {"", 2, 2, 1}}, 3, {3}, nullptr},
        {"a name is not untitled", {{"Mix", 0, 0, 2}, {"", 1, 2, 1}}, 2, {3}, nullptr},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const QTemporaryDir folder;
        const DiscRecords records(folder.filePath("discs"));
        DiscRecords::Saved saved;
        for (const Step& step : row.steps) {
            saved =
                records.add(QString::fromUtf8(step.discName), runOf(step.hoursLater, step.before, step.made));
            ASSERT_EQ(saved.error, std::nullopt);
        }
        EXPECT_EQ(records.list().size(), row.records);
        if (row.lastFile != nullptr) {
            EXPECT_EQ(QFileInfo(saved.path).fileName(), QString::fromUtf8(row.lastFile));
        }
        const std::optional<DiscRecord> last = readDiscRecord(saved.path);
        ASSERT_TRUE(last.has_value());
        EXPECT_EQ(numbersOf(*last), row.lastRecord);
    }
}

// Everything a record keeps comes back, a cue track included, and the record is a playlist of the same
// entries for the Track list; a name that would break a line or a path stays whole in the record and safe as
// a file name.
TEST(DiscRecords, ARecordReadsBackWholeAndAsAPlaylist) {
    const QTemporaryDir folder;
    const QString flac = folder.filePath("a.flac");
    const QString sheet = folder.filePath("album.cue");
    QFile::copy(QStringLiteral(QUORVEX_MEDIA_FIXTURES "/album.flac"), flac);
    QFile cue(sheet);
    ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
    cue.write("FILE a.flac WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE Two\nINDEX 01 "
              "00:04:00\n");
    cue.close();
    RecordedRun run = runOf(0, 3, 2);
    run.tracks[0].source.path = flac;
    run.tracks[0].title = QString::fromUtf8("東京 — a title far longer than fourteen characters");
    run.tracks[1] = {.number = 5,
                     .title = QStringLiteral("Two"),
                     .recorderTitle = QStringLiteral("Two"),
                     .mark = QStringLiteral("cut short: the sound output was lost at 0:02"),
                     .length = std::chrono::milliseconds(8000),
                     .source = {.path = flac,
                                .cue = CueTrack{.sheet = sheet,
                                                .number = 2,
                                                .title = QStringLiteral("Two"),
                                                .performer = {},
                                                .start = CueTime(300),
                                                .end = std::nullopt}}};
    // An MDS-E deck read track 4 back as 59 s long.
    run.notChecked = QStringLiteral("differs");
    run.onDisc = {QStringLiteral("4 59 T4"), QStringLiteral("5 x Two")};
    const DiscRecords records(folder.filePath("discs"));
    const QString hostile = QStringLiteral("../..\n/etc:passwd*?");
    const DiscRecords::Saved saved = records.add(hostile, run);
    ASSERT_EQ(saved.error, std::nullopt);
    EXPECT_EQ(QFileInfo(saved.path).fileName(), "_..__etc_passwd__ 2026-12-09.m3u8");
    EXPECT_EQ(QFileInfo(saved.path).absolutePath(), QDir(folder.filePath("discs")).absolutePath());

    const std::optional<DiscRecord> record = readDiscRecord(saved.path);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->discName, "../.. /etc:passwd*?");
    ASSERT_EQ(record->runs.size(), 1U);
    EXPECT_EQ(record->runs[0].started, noon);
    EXPECT_EQ(record->runs[0].before->tracks, 3);
    EXPECT_EQ(record->runs[0].before->seconds, 600);
    const std::vector<RecordedTrack> tracks = record->tracks();
    ASSERT_EQ(tracks.size(), 2U);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        EXPECT_EQ(tracks[i].number, run.tracks[i].number);
        EXPECT_EQ(tracks[i].title, run.tracks[i].title);
        EXPECT_EQ(tracks[i].recorderTitle, run.tracks[i].recorderTitle);
        EXPECT_EQ(tracks[i].mark, run.tracks[i].mark);
        EXPECT_EQ(tracks[i].length, run.tracks[i].length);
        EXPECT_EQ(tracks[i].source, run.tracks[i].source);
    }
    EXPECT_EQ(record->totalLength(), std::chrono::milliseconds(69'000));
    // The case insert's lengths and the Checked column.
    const std::vector<RecordedTrack> onDisc = record->tracksAsOnDisc();
    ASSERT_EQ(onDisc.size(), 2U);
    EXPECT_EQ(onDisc[0].length, std::chrono::milliseconds(59'000));
    EXPECT_EQ(onDisc[1].length, std::chrono::milliseconds(8000)) << "no time read back for it";
    EXPECT_EQ(record->lastCheck(), "differs");
    DiscRecord checked = *record;
    checked.runs[0].checked = QStringLiteral("5 tracks 669 s");
    EXPECT_EQ(checked.lastCheck(), "yes");

    const PlaylistEntries asPlaylist = readPlaylist(saved.path);
    EXPECT_TRUE(asPlaylist.refused.empty());
    ASSERT_EQ(asPlaylist.added.size(), 2U);
    EXPECT_EQ(asPlaylist.added[0].path, flac);
    EXPECT_EQ(asPlaylist.added[1].cue->number, 2);
}

// File names made safe; a folder that cannot be made and a record that cannot be read are said, not fatal;
// two writers at once lose nothing.
TEST(DiscRecords, HostileNamesUnwritableFoldersUnreadableRecordsAndTwoWriters) {
    const struct {
        const char* name;
        const char* safe;
    } names[] = {{"Mix", "Mix"},           {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
                 {"..hidden", "hidden"},   {" .\t", "_"},
                 {"...", "Disc"},          {"東京 Mix", "東京 Mix"},
                 {"tab\there", "tab_here"}};
    for (const auto& row : names) {
        EXPECT_EQ(safeFileName(QString::fromUtf8(row.name)), QString::fromUtf8(row.safe)) << row.name;
    }
    EXPECT_EQ(safeFileName(QString(300, QLatin1Char('x'))).size(), 100);
    // At most 200 bytes of a file name's 255, in whole characters: 66 of three bytes, 50 of four.
    EXPECT_EQ(safeFileName(QString(100, QChar(0x6771))), QString(66, QChar(0x6771)));
    EXPECT_EQ(safeFileName(QString::fromUtf8("x") + QString::fromUtf8("🎵").repeated(60)),
              QString::fromUtf8("x") + QString::fromUtf8("🎵").repeated(49));

    const QTemporaryDir folder;
    QFile blocker(folder.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const DiscRecords::Saved refused = DiscRecords(folder.filePath("file/discs")).add("Mix", runOf(0, 0, 1));
    EXPECT_EQ(refused.path, folder.filePath("file/discs"));
    EXPECT_TRUE(refused.error.has_value());
    EXPECT_EQ(saveRunRecord(DiscRecords(folder.filePath("file/discs")), "Mix", runOf(0, 0, 1)),
              QStringLiteral("The disc's record \"%1\" could not be written: %2")
                  .arg(folder.filePath("file/discs"), *refused.error));
    EXPECT_EQ(saveRunRecord(DiscRecords(folder.filePath("file/discs")), "Mix", runOf(0, 0, 0)), std::nullopt)
        << "a run that made no track has no record";

    const DiscRecords records(folder.filePath("discs"));
    QDir().mkpath(folder.filePath("discs"));
    QFile garbage(folder.filePath("discs/garbage.m3u8"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\xff\xfe not a record\n");
    garbage.close();
    // Two programs writing at once, each many records: every one of them is there.
    const auto writeMany = [&records](const QString& name) {
        for (int run = 0; run < 20; ++run) {
            (void)records.add(name, runOf(run, std::nullopt, 1));
        }
    };
    {
        const std::jthread one(writeMany, QStringLiteral("One"));
        const std::jthread other(writeMany, QStringLiteral("One"));
    }
    const std::vector<DiscRecords::Listed> listed = records.list();
    ASSERT_EQ(listed.size(), 41U);
    EXPECT_EQ(listed.back().path, folder.filePath("discs/garbage.m3u8")) << "unreadable, listed last";
    EXPECT_FALSE(listed.back().record.has_value());
    EXPECT_EQ(listed.front().record->lastRun(), noon.addSecs(19LL * 3600)) << "newest first";
    EXPECT_EQ(records.remove(listed.back().path), std::nullopt);
    EXPECT_EQ(records.list().size(), 40U);
}

} // namespace
} // namespace quorvex
