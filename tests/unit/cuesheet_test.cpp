// Cue sheets as rippers write them (tests/data/cue): their tracks with titles and times, or why not; and a
// sheet wherever the Track list takes entries: a folder, a playlist, a saved list read back.
#include "support/printers.h"
#include "tracks/cuesheet.h"
#include "tracks/entrygatherer.h"
#include "tracks/trackinfocache.h"
#include "tracks/tracklistmodel.h"
#include "tracks/tracktitles.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quorvex {
namespace {

const QString sheets = QStringLiteral(QUORVEX_CUE_SHEETS);
const QString album = QStringLiteral(QUORVEX_MEDIA_FIXTURES "/album.flac"); // 12 s

// "album.flac #02 Middle 300-600 The Band": file, number, title, INDEX 01 to the end in frames, performer.
QStringList described(const TrackSources& sources) {
    QStringList lines;
    for (const TrackSource& source : sources) {
        const CueTrack& cue = source.cue.value();
        lines.append(
            QStringLiteral("%1 %2 %3-%4 %5")
                .arg(QFileInfo(source.path).fileName(), cueTrackLabel(cue))
                .arg(cue.start.count())
                .arg(cue.end ? QString::number(cue.end->count()) : QStringLiteral("end"), cue.performer)
                .trimmed());
    }
    return lines;
}

// A folder holding the album twice ("side b.flac" too) and the sheet.
class CueFolder {
public:
    explicit CueFolder(const QString& sheet) {
        QFile::copy(album, folder.filePath("album.flac"));
        QFile::copy(album, folder.filePath("side b.flac"));
        QFile::copy(sheets + '/' + sheet, path(sheet));
    }
    [[nodiscard]] QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST(CueSheet, SheetsAsRippersWriteThemGiveTheirTracksOrTheirReason) {
    struct Case {
        const char* sheet;
        QStringList tracks;
        const char* refused = nullptr; // the one reason given, if any
    };
    const std::vector<Case> cases{
        {"eac.cue",
         {"album.flac #01 Opening 0-300 The Band", "album.flac #02 Middle 300-600 The Band",
          "album.flac #03 Coda 600-end Guest"}},
        {"hidden.cue", {"album.flac #01 After the hidden one 150-450", "album.flac #02 Second 450-end"}},
        {"files.cue", {"album.flac #01 A1 0-375", "album.flac #02 A2 375-end", "side b.flac #03 B1 0-end"}},
        {"pregap.cue", {"album.flac #01 One 0-450", "album.flac #02 Two 450-end"}},
        {"notitle.cue", {"album.flac #01 Named 0-450", "album.flac #02 450-end"}},
        {"bom.cue", {"album.flac #01 Café Olé 0-end"}},
        {"cp1251.cue",
         {"album.flac #01 Орбит без сахара 0-300 Сплин", "album.flac #02 Выхода нет 300-600 Сплин",
          "album.flac #03 Романс, или песня о любви 600-end Сплин"}},
        {"koi8r.cue",
         {"album.flac #01 Орбит без сахара 0-300 Сплин", "album.flac #02 Выхода нет 300-600 Сплин",
          "album.flac #03 Романс, или песня о любви 600-end Сплин"}},
        {"sjis.cue",
         {"album.flac #01 夜明けのスキャット 0-300 いしだあゆみ",
          "album.flac #02 赤いスイートピー 300-600 いしだあゆみ",
          "album.flac #03 雨の御堂筋 600-end いしだあゆみ"}},
        {"wavname.cue", {"album.flac #01 Compressed later 0-end"}},
        {"unknown.cue", {"album.flac #01 Still fine 0-end"}},
        {"data.cue", {"album.flac #02 After the data 150-end"}, "it is a data track (MODE1/2352), not sound"},
        {"pastend.cue",
         {"album.flac #01 Whole file 0-end"},
         "it starts at 01:02, beyond the end of its file (00:12)"},
        {"binary.cue", {}, "it is a raw CD image (BINARY), not a sound file"},
        {"garbage.cue", {}, "it is not a cue sheet: it names no FILE and TRACK"},
        {"tracks100.cue", {}, "it lists more than 99 tracks"},
        {"decreasing.cue", {}, "the INDEX 01 of TRACK 02 does not come after that of TRACK 01"},
        {"badtime.cue", {}, "line 3: the time \"00:61:00\" is not minutes:seconds:frames"},
        {"overflow.cue", {}, "line 3: the time \"00:99999999999:00\" is not minutes:seconds:frames"},
        {"missing.cue", {}, "it does not exist (named by "},
        {"big.cue", {}, "the cue sheet is larger than 1 MiB"},
    };
    for (const Case& row : cases) {
        const CueFolder folder(row.sheet);
        if (QString(row.sheet) == u"big.cue") {
            QFile big(folder.path(row.sheet));
            ASSERT_TRUE(big.open(QIODevice::WriteOnly));
            big.write(QByteArray("FILE \"album.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n") +
                      QByteArray(qsizetype{2} * 1024 * 1024, '\n'));
        }
        const CueSheetEntries read = readCueSheet(folder.path(row.sheet));
        EXPECT_EQ(described(read.added), row.tracks) << row.sheet;
        ASSERT_EQ(read.refused.size(), row.refused == nullptr ? 0U : 1U) << row.sheet;
        if (row.refused != nullptr) {
            EXPECT_TRUE(read.refused[0].reason.startsWith(QString::fromUtf8(row.refused)))
                << row.sheet << ": " << read.refused[0].reason.toStdString();
        }
    }
}

// A folder adds the album as its sheet's tracks where the file is (not once more whole); a playlist may
// list a sheet; a saved list names each cue track so that reading it back gives the same entries, titled
// and timed from the sheet whatever the tags say.
TEST(CueSheet, FoldersPlaylistsAndSavedListsTakeASheetAsItsTracks) {
    const CueFolder folder(QStringLiteral("eac.cue"));
    QFile::copy(QStringLiteral(QUORVEX_MEDIA_FIXTURES "/info.wav"), folder.path("zz.wav"));
    const GatheredEntries gathered = gatherEntries({folder.folder.path()});
    EXPECT_EQ(QStringList({sourceText(gathered.added.at(0)), sourceText(gathered.added.at(3)),
                           sourceText(gathered.added.at(4))}),
              QStringList({folder.path("album.flac #01 Opening"), folder.path("side b.flac"),
                           folder.path("zz.wav")}));
    ASSERT_EQ(gathered.added.size(), 5U);

    TrackInfoCache cache;
    TrackListModel list(cache);
    list.insert(0, gathered.added);
    TrackTitles titles;
    titles.setUseTags(true);
    EXPECT_EQ(titles.derive(list.source(1)).title, "Middle");
    EXPECT_EQ(titles
                  .derive(TrackSource{album, CueTrack{.sheet = {},
                                                      .number = 7,
                                                      .title = {},
                                                      .performer = {},
                                                      .start = CueTime{0},
                                                      .end = std::nullopt}})
                  .title,
              "Track 07");
    EXPECT_EQ(list.length(1), std::chrono::milliseconds(4000));
    EXPECT_EQ(list.length(2), std::chrono::milliseconds(4000)) << "the last one up to the file's end";
    EXPECT_TRUE(list.toolTip(2).contains("Guest")) << list.toolTip(2).toStdString();

    const QString saved = folder.path("saved.m3u8");
    ASSERT_EQ(writePlaylist(saved, list.playlistItems()), std::nullopt);
    const PlaylistEntries back = readPlaylist(saved);
    EXPECT_TRUE(back.refused.empty());
    EXPECT_EQ(back.added, gathered.added);

    QFile listing(folder.path("listing.m3u"));
    ASSERT_TRUE(listing.open(QIODevice::WriteOnly));
    listing.write("eac.cue\n#QUORVEX-CUE:9 eac.cue\nalbum.flac\n");
    listing.close();
    const PlaylistEntries listed = readPlaylist(listing.fileName());
    EXPECT_EQ(listed.added, TrackSources(gathered.added.begin(), gathered.added.begin() + 3));
    ASSERT_EQ(listed.refused.size(), 1U);
    EXPECT_EQ(listed.refused[0].entry, folder.path("album.flac #09"));
}

} // namespace
} // namespace quorvex
