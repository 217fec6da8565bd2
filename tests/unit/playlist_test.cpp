// Playlists read and written, and the sound files a folder holds.
#include "support/fileaccess.h"
#include "support/printers.h"
#include "tracks/folderwalk.h"
#include "tracks/playlist.h"
#include "tracks/trackinfocache.h"
#include "tracks/tracklistmodel.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <unistd.h>
#include <vector>

namespace quorvex {
namespace {

const QByteArray silentWav = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(64, '\0');

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Paths under the folder as relative names, others as they are.
QStringList relativeTo(const QTemporaryDir& folder, const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) {
        names.append(path.startsWith(folder.path()) ? QDir(folder.path()).relativeFilePath(path) : path);
    }
    return names;
}

QStringList relativeTo(const QTemporaryDir& folder, const TrackSources& sources) {
    QStringList texts;
    for (const TrackSource& source : sources) {
        texts.append(sourceText(source));
    }
    return relativeTo(folder, texts);
}

struct NamedBytes {
    QString name;
    QByteArray bytes;
};

TEST(Playlist, ReadingAddsPlayableFilesAndSaysWhyOthersWereNot) {
    const QString gone = QStringLiteral("it does not exist");
    const QString loop = QStringLiteral("it includes itself, directly or through other playlists");
    const QByteArray junk = QByteArray("\x01\x80\xFF\xFE\x7F\x00\x9D", 7).repeated(143);
    std::vector<NamedBytes> chain; // p0.m3u lists p1.m3u ... p16.m3u lists a.wav: 17 levels
    for (int level = 0; level <= 16; ++level) {
        chain.push_back({QStringLiteral("p%1.m3u").arg(level),
                         level < 16 ? QStringLiteral("p%1.m3u").arg(level + 1).toUtf8() : "a.wav"});
    }
    struct ReadCase {
        const char* what;
        std::vector<NamedBytes> playlists; // the first is read; "@" in it stands for the folder's path
        QStringList added;
        QStringList reasons;
    };
    const std::vector<ReadCase> cases{
        {"plain lines", {{"l.m3u", "a.wav\nsub/c.wav\n"}}, {"a.wav", "sub/c.wav"}, {}},
        {"extended, CRLF, blanks",
         {{"e.m3u", "#EXTM3U\r\n#EXTINF:1,A\r\na.wav\r\n\r\n  b.wav  \r\n"}},
         {"a.wav", "b.wav"},
         {}},
        {"CR ends, upper case name", {{"R.M3U", "a.wav\rb.wav"}}, {"a.wav", "b.wav"}, {}},
        {"absolute path and file URL",
         {{"u.m3u8", "@/a.wav\nfile://@/sp%20ace.wav"}},
         {"a.wav", "sp ace.wav"},
         {}},
        {"other URL", {{"h.m3u", "http://example.com/a.wav"}}, {}, {"it is not a local file"}},
        {"missing, not sound, folder",
         {{"m.m3u", "gone.wav\nnotsound.wav\nsub"}},
         {},
         {gone, "it is not a sound file of a listed format", "it is a folder"}},
        {"Windows-1252 .m3u", {{"w.m3u", "\xE9.wav"}}, {"\u00E9.wav"}, {}},
        {"UTF-8 .m3u with BOM", {{"b.m3u", "\xEF\xBB\xBF\xC3\xA9.wav"}}, {"\u00E9.wav"}, {}},
        {".m3u8 is UTF-8 always", {{"b.m3u8", "\xEF\xBB\xBF\xC3\xA9.wav\n\xE9.wav"}}, {"\u00E9.wav"}, {gone}},
        {"PLS in order of N",
         {{"p.pls",
           "[playlist]\nFile10=sub/c.wav\nTitle1=x\nfile1=a.wav\nFile2=b.wav\nFile3=\nNumberOfEntries=3"}},
         {"a.wav", "b.wav", "sub/c.wav"},
         {}},
        {"nested, relative to its own folder",
         {{"n.m3u", "a.wav\nsub/in.PLS\nb.wav"}, {"sub/in.PLS", "File1=c.wav"}},
         {"a.wav", "sub/c.wav", "b.wav"},
         {}},
        {"self-inclusion", {{"s.m3u", "a.wav\ns.m3u"}}, {"a.wav"}, {loop}},
        {"cycle", {{"one.m3u", "two.m3u\na.wav"}, {"two.m3u", "one.m3u\nb.wav"}}, {"b.wav", "a.wav"}, {loop}},
        {"too deep", chain, {}, {"playlists are nested more than 16 deep"}},
        {"folder named .m3u inside",
         {{"d.m3u", "sub.m3u"}, {"sub.m3u/x.wav", silentWav}},
         {},
         {"it is a folder"}},
        {"missing playlist", {}, {}, {gone}},
        {"empty", {{"empty.m3u", ""}}, {}, {}},
        {"binary garbage", {{"g.m3u", junk}}, {}, {gone}},
        {"10 MB of garbage lines",
         {{"g.pls", ("File1=" + junk + "\n").repeated(10'000)}},
         {},
         QStringList(10'000, gone)},
        {"100,000-character line", {{"long.m3u", QByteArray(100'000, 'x')}}, {}, {gone}},
        {"10,000 entries",
         {{"many.m3u", QByteArray("a.wav\n").repeated(10'000)}},
         QStringList(10'000, "a.wav"),
         {}},
        {"more than 100,000 entries",
         {{"most.m3u", QByteArray("x\n").repeated(100'001)}},
         {},
         QStringList(100'000, gone) << "more than 100000 entries: it and those after it were left out"},
        {"larger than 16 MiB",
         {{"big.m3u", QByteArray("#\n").repeated(8 * 1024 * 1024 + 1)}},
         {},
         {"the playlists together hold more than 16 MiB"}},
    };
    for (const auto& row : cases) {
        const QTemporaryDir folder;
        for (const char* sound : {"a.wav", "b.wav", "sub/c.wav", "sp ace.wav", "\u00E9.wav"}) {
            writeFile(folder.filePath(QString::fromUtf8(sound)), silentWav);
        }
        writeFile(folder.filePath("notsound.wav"), "just text");
        for (const auto& [name, bytes] : row.playlists) {
            writeFile(folder.filePath(name), QByteArray(bytes).replace('@', folder.path().toUtf8()));
        }
        const QString read = folder.filePath(row.playlists.empty() ? "none.m3u" : row.playlists.front().name);
        const PlaylistEntries entries = readPlaylist(read);
        EXPECT_EQ(relativeTo(folder, entries.added), row.added) << row.what;
        QStringList reasons;
        for (const Refused& refused : entries.refused) {
            reasons.append(refused.reason);
        }
        EXPECT_EQ(reasons, row.reasons) << row.what;
    }
}

TEST(Playlist, PlaylistsAreToldByTheirExtension) {
    for (const char* path : {"a.m3u", "/x/B.M3U8", "c.Pls"}) {
        EXPECT_TRUE(isPlaylistPath(path)) << path;
    }
    for (const char* path : {"a.m3u.wav", "m3u", "a.pls/", "a.m3u9"}) {
        EXPECT_FALSE(isPlaylistPath(path)) << path;
    }
}

TEST(Playlist, AnUnreadablePlaylistIsRefusedAsAWhole) {
    if (geteuid() == 0 && !testing::obeyFilePermissions()) {
        GTEST_SKIP() << "root may read any file here";
    }
    const QTemporaryDir folder;
    const QString path = folder.filePath("locked.pls");
    writeFile(path, "File1=a.wav");
    QFile::setPermissions(path, {});
    const PlaylistEntries entries = readPlaylist(path);
    ASSERT_EQ(entries.refused.size(), 1U);
    EXPECT_EQ(entries.refused.front().entry, path);
    EXPECT_EQ(entries.refused.front().reason, "it cannot be read");
}

TEST(Playlist, RefusalTextShowsTenEntriesThenCountsTheRest) {
    EXPECT_EQ(refusedEntriesText({}), QString());
    std::vector<Refused> refused;
    for (int n = 1; n <= 17; ++n) {
        refused.push_back({QStringLiteral("/m/%1\n.wav").arg(n), QStringLiteral("it does not exist")});
    }
    refused[1].entry = "/" + QString(1000, 'x') + ".wav";
    const QStringList lines = refusedEntriesText(refused).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.front(), "These playlist entries were not added:");
    EXPECT_EQ(lines[2], "/" + QString(99, 'x') + "\u2026" + QString(95, 'x') + ".wav: it does not exist");
    EXPECT_EQ(lines[10], "/m/10 .wav: it does not exist") << "a line break in a name stays on its line";
    EXPECT_EQ(lines.back(), "and 7 more");
}

TEST(Playlist, WrittenPlaylistReadsBackToTheSamePaths) {
    const QTemporaryDir folder;
    const QTemporaryDir elsewhere;
    const std::vector<PlaylistItem> items{
        {folder.filePath("lists/a.wav"), std::chrono::milliseconds(61'600), "A\r\ntitle"},
        {folder.filePath("lists/deep/b.wav"), std::nullopt, "B"},
        {folder.filePath("music/#1 \u00E9\n.wav"), std::chrono::milliseconds(999), ""},
        {elsewhere.filePath("far.wav"), std::chrono::milliseconds(0), "far"},
        {folder.filePath("music/c.wav"), std::chrono::milliseconds(3'000), "C"},
    };
    QStringList paths;
    for (const PlaylistItem& item : items) {
        writeFile(item.path, silentWav);
        paths.append(item.path);
    }
    const QString playlist = folder.filePath("lists/mix.m3u8");
    ASSERT_EQ(writePlaylist(playlist, items), std::nullopt);
    QFile written(playlist);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString far = elsewhere.filePath("far.wav");
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              "#EXTM3U\n#EXTINF:62,A  title\na.wav\n#EXTINF:-1,B\ndeep/b.wav\n#EXTINF:1,\n" +
                  QUrl::fromLocalFile(paths[2]).toString(QUrl::FullyEncoded) + "\n#EXTINF:0,far\n" + far +
                  "\n#EXTINF:3,C\n../music/c.wav\n");
    EXPECT_EQ(readPlaylist(playlist).added, wholeFiles(paths));
    EXPECT_NE(writePlaylist(folder.filePath("no/such/folder/x.m3u8"), items), std::nullopt);
}

TEST(FolderWalk, FindsSoundFilesUnderAFolderInNaturalOrder) {
    const QTemporaryDir folder;
    for (const char* name : {"10.mp3", "2.MP3", ".hidden.mp3", "a/notes.txt", "B/1.flac", "a/x.Wav",
                             "a/10/z.ogg", "a/9/z.ogg"}) {
        writeFile(folder.filePath(name), silentWav);
    }
    QFile::link(folder.path(), folder.filePath("a/loop")); // a link back up is not followed
    const QStringList expected{"2.MP3", "10.mp3", "a/9/z.ogg", "a/10/z.ogg", "a/x.Wav", "B/1.flac"};
    EXPECT_EQ(relativeTo(folder, soundFilesUnder(folder.path()).files), expected);
    if (geteuid() == 0 && !testing::obeyFilePermissions()) {
        GTEST_SKIP() << "root may read any folder here";
    }
    QFile::setPermissions(folder.filePath("a"), {});
    const FolderSounds found = soundFilesUnder(folder.path());
    EXPECT_EQ(relativeTo(folder, found.files), QStringList({"2.MP3", "10.mp3", "B/1.flac"}));
    EXPECT_EQ(found.unreadable, QStringList{folder.filePath("a")});
    QFile::setPermissions(folder.filePath("a"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The Track list's entries: where insertions go, which moves and removals are taken, and that a mark travels
// with its entry; while a run walks the list it only grows at its end.
TEST(TrackListModel, EntriesMoveWithTheirMarksAndTheListOnlyGrowsDuringARun) {
    struct Case {
        const char* what;
        bool growOnly;
        std::function<bool(TrackListModel&)> change;
        QStringList after;
        bool taken;
    };
    const std::vector<Case> cases{
        {"insert before the second",
         false,
         [](TrackListModel& l) {
             return l.insert(1, {"x", "y"}) == 3;
         },
         {"a", "x", "y", "b", "c"},
         true},
        {"insert beyond the end",
         false,
         [](TrackListModel& l) { return l.insert(99, {"x"}) == 4; },
         {"a", "b", "c", "x"},
         true},
        {"insert during a run",
         true,
         [](TrackListModel& l) { return l.insert(0, {"x"}) == 4; },
         {"a", "b", "c", "x"},
         true},
        {"move down", false, [](TrackListModel& l) { return l.move(0, 2); }, {"b", "c", "a"}, true},
        {"move up", false, [](TrackListModel& l) { return l.move(2, 1); }, {"a", "c", "b"}, true},
        {"move past the end", false, [](TrackListModel& l) { return l.move(2, 3); }, {"a", "b", "c"}, false},
        {"move during a run", true, [](TrackListModel& l) { return l.move(0, 1); }, {"a", "b", "c"}, false},
        {"remove", false, [](TrackListModel& l) { return l.remove(1); }, {"a", "c"}, true},
        {"remove outside", false, [](TrackListModel& l) { return l.remove(-1); }, {"a", "b", "c"}, false},
        {"remove during a run", true, [](TrackListModel& l) { return l.remove(0); }, {"a", "b", "c"}, false},
        {"clear during a run",
         true,
         [](TrackListModel& l) { return (l.clear(), l.count() == 0); },
         {"a", "b", "c"},
         false},
    };
    TrackInfoCache info;
    for (const Case& c : cases) {
        TrackListModel list(info);
        list.append({"a", "b", "c"});
        list.setMark(0, {.state = EntryState::skipped, .reason = "gone", .at = 0});
        list.setGrowOnly(c.growOnly);
        EXPECT_EQ(c.change(list), c.taken) << c.what;
        EXPECT_EQ(list.paths(), c.after) << c.what;
        const auto marked = static_cast<int>(list.paths().indexOf("a"));
        EXPECT_EQ(list.mark(marked).reason, "gone") << c.what;
        EXPECT_EQ(list.index(marked).data(TrackListModel::markRole), static_cast<int>(EntryState::skipped));
        EXPECT_EQ(entryMarkText(list.mark(marked == 0 ? 1 : 0)), "") << c.what;
    }
}

} // namespace
} // namespace quorvex
