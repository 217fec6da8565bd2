// The program's rules as plain functions, one table each: frames, titles, tags, remembered settings, times.
#include "link/controla1/commandframe.h"
#include "link/controla1/replywatcher.h"
#include "link/controla1/titleframe.h"
#include "link/linktrace.h"
#include "link/recorder.h"
#include "platform/bytes.h"
#include "platform/codepage.h"
#include "platform/settingvalues.h"
#include "run/disccheck.h"
#include "run/fitcheck.h"
#include "support/printers.h"
#include "tracks/asciititles.h"
#include "tracks/audiocheck.h"
#include "tracks/entrymark.h"
#include "tracks/formatseconds.h"
#include "tracks/id3tag.h"
#include "tracks/titlerules.h"
#include "tracks/trackinfo.h"
#include "widgets/clockpanel.h"
#include "widgets/dirlistbox.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <string_view>
#include <taglib/mp4file.h>
#include <vector>

namespace quorvex {
namespace {

TEST(CommandFrame, PairBytesCoverTheWholeByteRange) {
    // The pair travels as bytes 0..255; values above 127 must not be cut or sign-extended.
    const CommandFrame frame = commandFrame(255, 128);
    EXPECT_EQ(frame[4], 0xFF);
    EXPECT_EQ(frame[5], 0x80);
    EXPECT_EQ(frame[1], frame.size()) << "the second byte carries the frame's own length";
}

TEST(TitleFrame, NamesBecomeTheFourteenByteFieldOfA23ByteFrame) {
    struct TitleCase {
        QString name;
        std::int16_t track;
        const char* hex;
    };
    const std::vector<TitleCase> cases{
        {"Mix", 0, "81 17 07 B0 9A 00 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"  My Mix  ", 0, "81 17 07 B0 9A 00 00 00 4D 79 20 4D 69 78 00 00 00 00 00 00 00 00 FF"},
        {"Summer Holiday Mix 2003", 0,
         "81 17 07 B0 9A 00 00 00 53 75 6D 6D 65 72 20 48 6F 6C 69 64 61 79 FF"},
        {QString(100'000, QLatin1Char('x')), 1,
         "81 17 07 B0 9A 01 00 00 78 78 78 78 78 78 78 78 78 78 78 78 78 78 FF"},
        {"", 0, "81 17 07 B0 9A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"      ", 0, "81 17 07 B0 9A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 3, "81 17 07 B0 9A 03 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 255, "81 17 07 B0 9A FF 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 256, "none"},
        {"Mix", -1, "none"},
        // Only spaces are trimmed; a tab stays part of the name.
        {"\tA ", 1, "81 17 07 B0 9A 01 00 00 09 41 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        // Windows-1252: é is E9, € is 80; a character it has no byte for becomes '?', one byte each.
        {QString::fromUtf8("Café €5 日本"), 2,
         "81 17 07 B0 9A 02 00 00 43 61 66 E9 20 80 35 20 3F 3F 00 00 00 00 FF"},
        // A character outside the BMP is one character, so one '?', and the cut still falls after 14.
        {QString::fromUtf8("😀abcdefghijklmnop"), 4,
         "81 17 07 B0 9A 04 00 00 3F 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D FF"},
    };
    for (const auto& row : cases) {
        const std::optional<TitleFrame> frame = titleFrame(row.name, row.track);
        EXPECT_EQ(frame ? toByteArray(*frame).toHex(' ').toUpper().toStdString() : "none", row.hex)
            << row.name.left(20).toStdString() << " / " << row.track;
    }
}

TEST(CodePage, EveryCharacterIsOneByte) {
    EXPECT_EQ(toCodePage(QString::fromUtf8("ÄÖÜßäöü")), QByteArray::fromHex("C4D6DCDFE4F6FC"));
    EXPECT_EQ(toCodePage(QString::fromUtf8("“Ÿ”…")), QByteArray::fromHex("939F9485"));
    EXPECT_EQ(toCodePage(QString(QChar(0x1A))), QByteArray("\x1A")) << "a real SUB character is kept";
    EXPECT_EQ(toCodePage(QString::fromUtf8("Ω→")), QByteArray("??"));
    EXPECT_EQ(toCodePage(QString(QChar(0xD800))), QByteArray("?")) << "a lone surrogate";
}

TEST(TitleRules, TitleFromTheFileName) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/music/01_Some Song Title.mp3", "ome Song Title"},
        {"/music/Intro.wav", "Intro"},
        {"/My Music/A Very Long Song Name.wma", "Long Song Name"},
        {"/Rips/Track 5.mp3", "Track 5"},
        {"/x/01_Artist_Title.mp3", "Title"},
        {"/x/Song_.mp3", ""},
        {"/a.mp3", "a"},
        {"b.wav", "b"},
        {"C:\\music\\01_Some Song Title.mp3", "ome Song Title"},
        {"C:\\Rips\\Track 5.mp3", "Track 5"},
        {"/x/ spaced .mp3", " spaced "},
        {"/x/Fourteen chars.wav", "Fourteen chars"},
        {"/x/Fifteen chars!!.wav", "ifteen chars!!"},
        {"/x/.mp3", ""},
        {"mp3", ""},
        {"", ""},
        // The extension ends the title whatever its length; a name without a dot loses its last four.
        {"/x/05_Coda.flac", "Coda"},
        {"/x/Lake.aiff", "Lake"},
        {"/x/Night.Drive.opus", "Night.Drive"},
        {"/x.y/NoDotHere", "NoDot"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(titleFromFileName(QString::fromLatin1(row.path)), QString::fromLatin1(row.title))
            << row.path;
    }
}

TEST(TitleRules, Mp3InAnyLetterCaseAndEntriesWithExactlyOneSeparator) {
    const struct {
        const char* path;
        bool mp3;
    } cases[] = {{"/a/b.mp3", true},  {"/a/b.MP3", true},  {"/a/b.Mp3", true},  {"/a/b.mP3", true},
                 {"xmp3", true},      {"/a/b.wav", false}, {"/a/b.wma", false}, {"/a/b.mp3 ", false},
                 {"/a/b.mp4", false}, {"", false},         {"mp", false}};
    for (const auto& row : cases) {
        EXPECT_EQ(isMp3Path(QString::fromLatin1(row.path)), row.mp3) << row.path;
    }
    EXPECT_EQ(trackListEntry("/", "song.mp3"), "/song.mp3");
    EXPECT_EQ(trackListEntry("/home/me/Music", "song.mp3"), "/home/me/Music/song.mp3");
    EXPECT_EQ(trackListEntry("/media/usb/", "a b.wav"), "/media/usb/a b.wav");
}

// A 30-byte tag field: the text, then `fill` up to 30 bytes.
QByteArray field(const QByteArray& text, char fill = '\0') {
    return text + QByteArray(30 - text.size(), fill);
}

QByteArray tagBlock(const QByteArray& title, const char* identifier = "TAG") {
    const QByteArray block = identifier + title + field("The Band") + field("Live");
    return block + QByteArray(128 - block.size(), '\0'); // year, comment, genre
}

TEST(Id3Tag, TheLast128BytesGiveTitleArtistAndAlbumFieldsEndAtTheFirstNulAndLoseTrailingSpaces) {
    const QTemporaryDir folder;
    const QByteArray tag = tagBlock(field("Some Song Title", ' '));
    struct FileCase {
        QByteArray contents;
        const char* title; // nullptr: no tag; "*": a tag or none, whatever TagLib makes of it
    };
    const std::vector<FileCase> cases{
        {QByteArray(5000, '\x55') + tag, "Some Song Title"},
        {tag, "Some Song Title"}, // exactly 128 bytes: the tag starts at the first byte
        {QByteArray(10, '\x01') + tag + QByteArray(3, '\x02') + tagBlock(field("Last")), "Last"},
        {tagBlock(field("Hello", '\0')), "Hello"},
        {tagBlock(field("Hello  ", '\0')), "Hello"},
        {tagBlock(field("  Hello")), "  Hello"},
        {tagBlock(field(QByteArray("Hi\0there", 8))), "Hi"},
        {tagBlock(field("Caf\xE9 \x80")), "Café €"},
        {tagBlock(QByteArray(30, 'x')), "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {tagBlock(field("")), ""},
        {QByteArray(), nullptr},
        {tag.left(127), nullptr},
        {tagBlock(field("x"), "tag"), nullptr},
        {tagBlock(field("x"), "TaG"), nullptr},
        {tag + "!", nullptr},
        {QByteArray("this is not audio at all\n").repeated(20), nullptr},
    };
    for (const FileCase& row : cases) {
        QFile file(folder.filePath("t.mp3"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.contents);
        file.close();
        const std::optional<TagFields> read = readId3v1(file.fileName());
        SCOPED_TRACE(row.contents.right(128).toHex().toStdString());
        ASSERT_EQ(read.has_value(), row.title != nullptr);
        if (read) {
            EXPECT_EQ(read->title, QString::fromUtf8(row.title));
            EXPECT_EQ(read->artist, "The Band");
            EXPECT_EQ(read->album, "Live");
        }
    }
    EXPECT_FALSE(readId3v1(folder.filePath("missing.mp3")).has_value());
    EXPECT_FALSE(readId3v1(folder.path()).has_value()) << "a directory";
    EXPECT_FALSE(readId3v1(QString()).has_value());
}

TEST(PortSetting, RememberedTextBecomesAPortNumberOrCom1OnlyZeroClearsUseId3AndOnlyOneTicksAsciiTitles) {
    const struct {
        const char* stored;
        int port;
        bool useId3;
    } cases[] = {
        {"1", 1, true},   {"2", 2, true},   {"3", 3, true},     {"4", 4, true},
        {" 3 ", 3, true}, {"0", 1, false},  {" 0", 1, false},   {"5", 1, true},
        {"-2", 1, true},  {"-1", 1, true},  {"65538", 1, true}, {"40000", 1, true},
        {"", 1, true},    {"abc", 1, true}, {"yes", 1, true},   {"2.5", 1, true},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(portNumberFromSetting(QString::fromLatin1(row.stored)), row.port) << row.stored;
        EXPECT_EQ(useId3FromSetting(QString::fromLatin1(row.stored)) == Qt::Checked, row.useId3)
            << row.stored;
        // Plain ASCII titles are on for exactly "1".
        EXPECT_EQ(switchFromSetting(QString::fromLatin1(row.stored)), std::string_view(row.stored) == "1")
            << row.stored;
        // A switch that is on by default (Send 44.1 kHz) is off for exactly "0".
        EXPECT_EQ(switchFromSetting(QString::fromLatin1(row.stored), true),
                  std::string_view(row.stored) != "0")
            << row.stored;
    }
    // The disc length is one of the three offered, written exactly; anything else is 74 minutes.
    const std::vector<std::pair<QString, int>> lengths{{"60", 60}, {"80", 80}, {"74", 74},  {" 60", 74},
                                                       {"61", 74}, {"", 74},   {"80.0", 74}};
    for (const auto& [stored, minutes] : lengths) {
        EXPECT_EQ(discMinutesFromSetting(stored), minutes) << stored.toStdString();
    }
    // The level is named exactly; anything else is -6 dB.
    const std::vector<std::pair<QString, Level>> levels{
        {"-6", Level::minus6dB},     {"0", Level::full},         {"track", Level::trackGain},
        {"album", Level::albumGain}, {"Track", Level::minus6dB}, {"-6.0", Level::minus6dB},
        {"", Level::minus6dB},       {"full", Level::minus6dB}};
    for (const auto& [stored, level] : levels) {
        EXPECT_EQ(levelFromSetting(stored), level) << stored.toStdString();
        EXPECT_EQ(levelText(level) == stored, levelNamed(stored).has_value()) << stored.toStdString();
    }
}

// Whether a list fits the disc at the edges of its time and its 254 tracks, and what the question says.
TEST(FitCheck, TheListMustFitTheFreeTimeAndTracksPauseModeAddsPausesAndUnknownLengthsAreNamed) {
    using std::chrono::milliseconds;
    using Lengths = std::vector<std::optional<milliseconds>>;
    const milliseconds minute{60'000};
    struct FitCase {
        std::array<std::int16_t, 3> disc; // tracks, minutes, seconds
        bool pauseMode;
        Lengths lengths;
        const char* question; // nullptr: fits
    };
    const std::vector<FitCase> cases{
        // 74:00 disc with 20:00 recorded: exactly full, one second over, a part of a second over.
        {{3, 20, 0}, false, {54 * minute}, nullptr},
        {{3, 20, 0},
         false,
         {54 * minute + milliseconds{1000}},
         "The list needs 54:01 but the disc has 54:00 free."},
        {{3, 20, 0},
         false,
         {54 * minute + milliseconds{1}},
         "The list needs 54:01 but the disc has 54:00 free."},
        // More recorded than the disc holds: nothing is free.
        {{3, 80, 0}, false, {milliseconds{1}}, "The list needs 00:01 but the disc has 00:00 free."},
        // 254 tracks at most: 4 on the disc leave room for 250.
        {{4, 0, 0}, false, Lengths(250, milliseconds{1000}), nullptr},
        {{4, 0, 0},
         false,
         Lengths(251, milliseconds{1000}),
         "The list has 251 entries but the disc can take only 250 more tracks."},
        {{255, 0, 0},
         false,
         {milliseconds{1000}},
         "The list has 1 entries but the disc can take only 0 more tracks."},
        // Pause mode: the whole disc is free, 4 s follow each entry, and there is no track count to trust.
        {{250, 73, 0}, true, {73 * minute + milliseconds{51'000}, milliseconds{1000}}, nullptr},
        {{250, 73, 0},
         true,
         {73 * minute + milliseconds{51'000}, milliseconds{1001}},
         "The list needs 74:01 but the disc has 74:00 free."},
        // Unknown lengths count 0 and are named; time goes before tracks.
        {{0, 0, 0},
         false,
         {75 * minute, std::nullopt},
         "The list needs 75:00 but the disc has 74:00 free.\n1 file of unknown length is not counted."},
        {{250, 0, 0},
         false,
         Lengths(5),
         "The list has 5 entries but the disc can take only 4 more tracks.\n"
         "5 files of unknown length are not counted."},
        {{0, 0, 0}, false, Lengths(5), nullptr},
    };
    for (std::size_t row = 0; row < cases.size(); ++row) {
        const FitCase& fit = cases.at(row);
        DiscState disc;
        std::tie(disc.tracks, disc.minutes, disc.seconds) = std::tie(fit.disc[0], fit.disc[1], fit.disc[2]);
        const std::optional<QString> question = fitQuestion(
            {.discMinutes = 74, .disc = disc, .pauseMode = fit.pauseMode, .lengths = fit.lengths});
        EXPECT_EQ(question.value_or("fits"),
                  QString::fromUtf8(fit.question != nullptr ? fit.question : "fits"))
            << "row " << row;
    }
}

// A deck that tells its free recording time and title space: the time is its own, and the titles beyond the
// space are named in list order.
TEST(FitCheck, ADeckIsAskedItsOwnFreeTimeAndTitleSpace) {
    DiscState disc;
    disc.tracks = 2;
    disc.freeSeconds = 60;
    disc.freeTitleCharacters = 10;
    const std::vector<std::optional<std::chrono::milliseconds>> lengths{std::chrono::seconds{50}};
    const std::vector<QString> names{"Six 6!", "Four", "Two"};
    EXPECT_EQ(
        fitQuestion({.discMinutes = 74, .disc = disc, .pauseMode = false, .lengths = lengths, .names = names})
            .value_or("fits"),
        "These titles do not fit the recorder's free title space (10 characters):\nTwo");
    disc.freeSeconds = 40;
    EXPECT_TRUE(fitQuestion({.discMinutes = 74, .disc = disc, .pauseMode = false, .lengths = lengths})
                    .value_or("fits")
                    .startsWith("The list needs 00:50 but the disc has 00:40 free."));
}

// The disc read back against the run: a count and a total within 2 s per track, or each track there, as long
// as recorded within 2 s, and named as written; no answer is no verdict.
TEST(DiscCheck, TheDiscAsReadBackAgainstWhatTheRunMade) {
    using Tracks = std::vector<ReadBack::Track>;
    const std::vector<MadeTrack> made{{.entry = 4, .number = 6, .recordedSeconds = 220, .name = "Coda!"},
                                      {.entry = 5, .number = 7, .recordedSeconds = 60, .name = "Fin"}};
    const auto disc = [](int tracks, int seconds) {
        DiscState state;
        state.tracks = static_cast<std::int16_t>(tracks);
        state.minutes = static_cast<std::int16_t>(seconds / 60);
        state.seconds = static_cast<std::int16_t>(seconds % 60);
        return state;
    };
    const struct Row {
        ReadBack read;
        DiscCheck::Outcome outcome;
        const char* summary;
        std::vector<int> marked;   // entries
        std::vector<int> misnamed; // tracks
    } rows[] = {
        {{.answered = false, .disc = {}, .tracks = {}},
         DiscCheck::Outcome::noAnswer,
         "The disc could not be checked: the recorder did not answer.",
         {},
         {}},
        // Count and total: 5 tracks, 10:00 before; 280 s recorded, 4 s of slack for two tracks.
        {{.answered = true, .disc = disc(7, 600 + 284), .tracks = {}},
         DiscCheck::Outcome::asPlanned,
         "The disc holds what was recorded: 7 tracks, 14:44.",
         {},
         {}},
        {{.answered = true, .disc = disc(7, 600 + 285), .tracks = {}},
         DiscCheck::Outcome::differs,
         "The disc holds 7 tracks, 14:45; 7 tracks, 14:40 were expected.",
         {},
         {}},
        {{.answered = true, .disc = disc(6, 600 + 220), .tracks = {}},
         DiscCheck::Outcome::differs,
         "The disc holds 6 tracks, 13:40; 7 tracks, 14:40 were expected.",
         {},
         {}},
        // Each track: 2 s either way, early, missing, misnamed.
        {{.answered = true, .disc = disc(7, 0), .tracks = Tracks{{6, 222, "Coda!"}, {7, 58, "Fin"}}},
         DiscCheck::Outcome::asPlanned,
         "The disc holds what was recorded: 7 tracks, 00:00.",
         {},
         {}},
        {{.answered = true,
          .disc = disc(7, 0),
          .tracks = Tracks{{6, 41, "Coda!"}, {7, std::nullopt, std::nullopt}}},
         DiscCheck::Outcome::differs,
         "Track 6 is 00:41 on the disc but 03:40 was recorded (the recorder stopped early). Track 7 is not "
         "on the "
         "disc.",
         {4, 5},
         {}},
        {{.answered = true, .disc = disc(7, 0), .tracks = Tracks{{6, 223, "Coda?"}, {7, 60, "Fin"}}},
         DiscCheck::Outcome::differs,
         "Track 6 is 03:43 on the disc but 03:40 was recorded.",
         {},
         {6}},
    };
    for (const Row& row : rows) {
        const DiscCheck check = checkDisc(DiscContents{.tracks = 5, .seconds = 600}, made, row.read);
        EXPECT_EQ(check.outcome, row.outcome) << row.summary;
        EXPECT_EQ(check.summary, row.summary);
        std::vector<int> marked;
        std::vector<int> misnamed;
        for (const DiscCheck::Remark& remark : check.marks) {
            marked.push_back(remark.entry);
        }
        for (const MadeTrack& track : check.misnamed) {
            misnamed.push_back(track.number);
        }
        EXPECT_EQ(marked, row.marked) << row.summary;
        EXPECT_EQ(misnamed, row.misnamed) << row.summary;
    }
    EXPECT_EQ(entryMarkText(checkDisc({}, made, rows[5].read).marks.at(0).mark),
              "cut short: the recorder stopped early at 00:41");
    EXPECT_EQ(misnamedText(16, "Coda?", "Coda!"), "Track 16's title reads \"Coda?\" instead of \"Coda!\".");
}

// The family's names as settings and command lines give them, and the trace: its lines as they go into the
// file named, and the session's so far saved whole.
TEST(RecorderFamily, NamesAndTheTraceOfASession) {
    EXPECT_EQ(recorderFamilyOf(" MDS-E "), RecorderFamily::mdsE);
    EXPECT_EQ(recorderFamilyOf("control-a1"), RecorderFamily::controlA1);
    EXPECT_EQ(recorderFamilyOf("mdse"), std::nullopt);
    EXPECT_EQ(recorderFamilyText(RecorderFamily::mdsE), "mds-e");
    EXPECT_EQ(traceLine(QTime(14, 3, 7, 215), '>', QByteArray::fromHex("7E07054710 03FF"), "REMOTE MODE On"),
              "14:03:07.215  >  7E 07 05 47 10 03 FF  REMOTE MODE On");

    const QTemporaryDir folder;
    LinkTrace trace(LinkTrace::Keep::session);
    trace.sent(QByteArray::fromHex("01"), "first");
    ASSERT_EQ(trace.writeTo(folder.filePath("live.txt")), std::nullopt);
    trace.received(QByteArray::fromHex("02"), "second");
    EXPECT_TRUE(trace.writeTo(folder.filePath("absent/live.txt")).value_or("").contains("absent/live.txt"));
    ASSERT_EQ(trace.save(folder.filePath("saved.txt")), std::nullopt);
    const auto read = [&folder](const char* name) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        QStringList lines;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
                lines.append(line.mid(QStringLiteral("14:03:07.215  ").size()));
            }
        }
        return lines;
    };
    EXPECT_EQ(read("saved.txt"), QStringList({">  01  first", "<  02  second"}));
    EXPECT_EQ(read("live.txt"), QStringList({"<  02  second"}));
}

TEST(DirectorySetting, DriveCPathsNameTheRootVolume) {
    const QString start = QStringLiteral("/home/me/started-here");
    const struct {
        const char* stored;
        QString path;
    } cases[] = {{"C:\\", "/"},
                 {"c:\\", "/"},
                 {"c:", start},
                 {"C:\\Music\\Rock", "/Music/Rock"},
                 {"/media/usb/Music", "/media/usb/Music"},
                 {"D:\\Music", "D:\\Music"},
                 {"", ""}};
    for (const auto& row : cases) {
        EXPECT_EQ(directoryFromSetting(QString::fromLatin1(row.stored), start), row.path) << row.stored;
    }
}

TEST(ClockPanel, ShowsHoursAndMinutesOfTheDay) {
    EXPECT_EQ(clockText(QTime(0, 0, 59)), QStringLiteral("00:00"));
    EXPECT_EQ(clockText(QTime(9, 5, 0)), QStringLiteral("09:05"));
    EXPECT_EQ(clockText(QTime(23, 59, 59, 999)), QStringLiteral("23:59"));

    const ClockPanel panel;
    const QTime before = QTime::currentTime();
    const QString shown = panel.text();
    const QTime after = QTime::currentTime();
    EXPECT_TRUE(shown == clockText(before) || shown == clockText(after)) << shown.toStdString();
}

TEST(FormatSeconds, TruncatedMinutesAndSecondsRoundedHalfToEven) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{0, "00:00"},     {65, "01:05"},   {59.4, "00:59"}, {59.5, "00:00"},        {59.7, "00:00"},
                 {119.7, "01:00"}, {60.5, "01:00"}, {61.5, "01:02"}, {58.5, "00:58"},        {3600, "60:00"},
                 {6000, "100:00"}, {0.49, "00:00"}, {210, "03:30"},  {std::nan(""), "00:00"}};
    for (const auto& row : cases) {
        EXPECT_EQ(formatSeconds(row.seconds), QString::fromLatin1(row.text)) << row.seconds;
    }
    // A length is rounded to the whole second first.
    using std::chrono::milliseconds;
    EXPECT_EQ(formatLength(milliseconds(59600)), "01:00");
    EXPECT_EQ(formatLength(milliseconds(119400)), "01:59");
    EXPECT_EQ(formatLength(std::nullopt), "?");
}

// Which tag names a track, and which one the preview shows.
TEST(TitleRules, TagTitlesFollowTheFormatAndAnEmptyOneCountsAsNone) {
    const TagFields v1{.title = "V1", .artist = "A1", .album = ""};
    const TagFields untitledV1{.title = "", .artist = "A1", .album = ""};
    const TagFields own{.title = "Own", .artist = "", .album = "B"};
    const std::optional<TagFields> none;
    struct TitleCase {
        const char* path = nullptr;
        std::optional<TagFields> id3v1, own;
        const char* title = nullptr;
        const char* preview = nullptr; // the title of the fields shown, "-" for none
    };
    const std::vector<TitleCase> cases{
        {"a.mp3", v1, own, "V1", "V1"},      {"a.MP3", untitledV1, own, "Own", "Own"},
        {"a.mp3", untitledV1, none, "", ""}, {"a.mp3", none, none, "", "-"},
        {"a.flac", v1, own, "Own", "V1"},    {"a.Opus", none, own, "Own", "Own"},
        {"a.m4a", none, own, "Own", "Own"},  {"a.aif", none, own, "Own", "Own"},
        {"a.wav", none, own, "", "Own"},     {"a.wma", v1, own, "", "V1"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(titleFromTags(QString::fromLatin1(row.path), row.id3v1, row.own), row.title) << row.path;
        const std::optional<TagFields> shown = previewFields(row.id3v1, row.own);
        EXPECT_EQ(shown ? shown->title : QStringLiteral("-"), row.preview) << row.path;
    }
}

TEST(AsciiTitles, EveryScriptInPrintableAscii) {
    const AsciiTitles toAscii;
    const struct {
        const char* title;
        const char* ascii;
    } cases[] = {
        {"Tårarna", "Tararna"},   {"Сплин", "Splin"},           {"Röyksopp", "Royksopp"},
        {"東京", "dong jing"},    {"Ærø Œuvre", "AEro OEuvre"}, {"Plain (1999)", "Plain (1999)"},
        {"a\tb\u00a0c", "a?b c"}, {"\U0001F3B5!", "?!"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(toAscii(QString::fromUtf8(row.title)), QString::fromLatin1(row.ascii)) << row.title;
    }
}

// The files of every listed format, as ffmpeg tags them, and files that are no sound file at all.
TEST(TrackInfo, EachFormatsOwnTagAndLengthAndNothingFromWhatIsNoSoundFile) {
    const QDir fixtures(QStringLiteral(QUORVEX_MEDIA_FIXTURES));
    const QTemporaryDir folder;
    const auto make = [&folder](const char* name, const QByteArray& bytes) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    QFile untagged(fixtures.filePath(QStringLiteral("untagged.mp3")));
    ASSERT_TRUE(untagged.open(QIODevice::ReadOnly));
    const QByteArray frames = untagged.readAll();
    // An ID3v2.2 tag (three-letter frame names) with a title in front of the same frames.
    const QByteArray tt2 = QByteArray("TT2\0\0\x0B\0Old Tagger", 17);
    const QByteArray v22 = QByteArray("ID3\x02\0\0\0\0\0\x11", 10) + tt2;
    // An ID3v2.4 tag claiming 256 MiB, a title frame claiming more than the file, a text encoding that
    // does not exist.
    const QByteArray huge = QByteArray("ID3\x04\0\0\x7F\x7F\x7F\x7F", 10);
    const QByteArray longFrame = QByteArray("ID3\x04\0\0\0\0\0\x14TIT2\x7F\x7F\x7F\x7F\0\0\x03Hi", 23);
    const QByteArray badEncoding = QByteArray("ID3\x04\0\0\0\0\0\x0DTIT2\0\0\0\x03\0\0\x09Hi", 23);
    QFile flac(fixtures.filePath(QStringLiteral("title.flac")));
    ASSERT_TRUE(flac.open(QIODevice::ReadOnly));
    QDir(folder.path()).mkdir(QStringLiteral("folder.flac"));
    QProcess::execute(QStringLiteral("mkfifo"), {folder.filePath(QStringLiteral("pipe.ogg"))});

    struct ReadCase {
        QString path;
        const char* title = nullptr; // nullptr: no tag; "*": a tag or none, whatever TagLib makes of it
        bool second = false;         // about one second long
    };
    const std::vector<ReadCase> cases{
        {fixtures.filePath("id3v2.mp3"), "Second Life", true},
        {fixtures.filePath("id3v23.mp3"), "Tårarna", true},
        {make("v22.mp3", v22 + frames), "Old Tagger", true},
        {fixtures.filePath("untagged.mp3"), nullptr, true},
        {fixtures.filePath("title.flac"), "Flac Title", true},
        {fixtures.filePath("notitle.flac"), nullptr, true},
        {fixtures.filePath("title.ogg"), "東京", true},
        {fixtures.filePath("title.opus"), "Opus Title", true},
        {fixtures.filePath("title.m4a"), "M4A Title", true},
        {fixtures.filePath("title.aiff"), "Röyksopp", true},
        {fixtures.filePath("info.wav"), "Info Title", true},
        {make("huge.mp3", huge + frames), nullptr, false},
        {make("longframe.mp3", longFrame + frames), nullptr, false},
        {make("encoding.mp3", badEncoding + frames), "*", false},
        {make("cut.flac", flac.read(200)), nullptr, false},
        {make("empty.m4a", {}), nullptr, false},
        {make("text.opus", "not a sound file\n"), nullptr, false},
        {folder.filePath("folder.flac"), nullptr, false},
        {folder.filePath("pipe.ogg"), nullptr, false},
        {folder.filePath("missing.aiff"), nullptr, false},
    };
    for (const auto& row : cases) {
        const TrackInfo info = readTrackInfo(row.path);
        if (QLatin1String(row.title) == QLatin1String("*")) {
            continue;
        }
        EXPECT_EQ(info.tag ? info.tag->title : QStringLiteral("-"),
                  row.title != nullptr ? QString::fromUtf8(row.title) : QStringLiteral("-"))
            << row.path.toStdString();
        if (row.second) {
            ASSERT_TRUE(info.length.has_value()) << row.path.toStdString();
            EXPECT_NEAR(static_cast<double>(info.length->count()), 1000, 100) << row.path.toStdString();
        }
    }
    // An Opus stream whose last page claims a position ~2^54 samples in: TagLib's length overflows.
    QFile opus(fixtures.filePath(QStringLiteral("title.opus")));
    ASSERT_TRUE(opus.open(QIODevice::ReadOnly));
    QByteArray granule = opus.readAll();
    granule.replace(granule.lastIndexOf("OggS") + 6, 8, QByteArray("0000000\0", 8));
    EXPECT_EQ(readTrackInfo(make("granule.opus", granule)).length, std::nullopt);
    EXPECT_EQ(readTrackInfo(fixtures.filePath("id3v2.mp3")).tag->artist, "Artist v2.4");
    EXPECT_EQ(trackInfoToolTip(readTrackInfo(fixtures.filePath("id3v2.mp3"))),
              "<qt>Title: Second Life<br>Artist: Artist v2.4<br>Album: Album v2.4<br>Length: 0:01</qt>");
    EXPECT_EQ(trackInfoToolTip({.tag = TagFields{.title = "<b>x</b>", .artist = "", .album = ""},
                                .length = std::nullopt,
                                .gains = {{"Track gain", "<i>+99 dB"}},
                                .replayGain = {}}),
              "<qt>Title: &lt;b&gt;x&lt;/b&gt;<br>Length: unknown<br>Track gain: &lt;i&gt;+99 dB</qt>");
}

// The level tags of each kind, read as the tool tip shows them and as the numbers the player uses (R128 as
// its ReplayGain equivalent); none where the file has none, and no number where a tag holds none.
TEST(TrackInfo, LevelTagsOfEachKind) {
    const QDir fixtures(QStringLiteral(QUORVEX_MEDIA_FIXTURES));
    // An M4A as iTunes and foobar2000 tag it: freeform atoms, in lower case.
    const QTemporaryDir folder;
    const QString m4a = folder.filePath(QStringLiteral("gain.m4a"));
    ASSERT_TRUE(QFile::copy(fixtures.filePath(QStringLiteral("title.m4a")), m4a));
    {
        TagLib::MP4::File file(QFile::encodeName(m4a).constData());
        file.tag()->setItem("----:com.apple.iTunes:replaygain_track_gain", TagLib::StringList("-3.50 dB"));
        file.tag()->setItem("----:com.apple.iTunes:replaygain_album_peak", TagLib::StringList("0.800000"));
        file.tag()->setItem("----:com.apple.iTunes:replaygain_album_gain", TagLib::StringList("loud"));
        ASSERT_TRUE(file.save());
    }
    const std::string both =
        "Track gain: -3.50 dB, Track peak: 0.700000, Album gain: -1.20 dB, Album peak: 0.800000";
    const ReplayGain bothGains{-3.5, 0.7, -1.2, 0.8};
    const std::nullopt_t none = std::nullopt;
    const struct {
        QString path;
        std::string gains;
        ReplayGain numbers;
    } cases[] = {
        {fixtures.filePath("gain.flac"), both, bothGains},
        {fixtures.filePath("gain.mp3"), both, bothGains},
        {fixtures.filePath("gain.opus"), "R128 track gain: -896", {1.5, none, none, none}},
        {m4a, "Track gain: -3.50 dB, Album gain: loud, Album peak: 0.800000", {-3.5, none, none, 0.8}},
        {fixtures.filePath("music.wav"), "", {}},
        {fixtures.filePath("id3v2.mp3"), "", {}}};
    for (const auto& row : cases) {
        QStringList shown;
        const TrackInfo info = readTrackInfo(row.path);
        for (const auto& [name, value] : info.gains) {
            shown.append(name + ": " + value);
        }
        EXPECT_EQ(shown.join(", ").toStdString(), row.gains) << row.path.toStdString();
        EXPECT_EQ(info.replayGain, row.numbers) << row.path.toStdString();
        EXPECT_EQ(readReplayGain(row.path), row.numbers) << row.path.toStdString();
    }
}

// Headers of every listed format pass the file check; only what starts like none of them is refused.
TEST(AudioCheck, TheListedFormatsPassByTheirHeaders) {
    const QDir fixtures(QStringLiteral(QUORVEX_MEDIA_FIXTURES));
    for (const char* name : {"id3v2.mp3", "untagged.mp3", "title.flac", "title.ogg", "title.opus",
                             "title.m4a", "title.aiff", "info.wav", "sine.wma"}) {
        EXPECT_EQ(audioFileProblem(fixtures.filePath(QString::fromLatin1(name))), std::nullopt) << name;
    }
    const QTemporaryDir folder;
    QFile text(folder.filePath(QStringLiteral("text.flac")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("fLa not quite\n") > 0);
    text.close();
    EXPECT_EQ(audioFileProblem(text.fileName()), QStringLiteral("it is not a sound file of a listed format"));
}

} // namespace
} // namespace quorvex
