#include "platform/settingvalues.h"
#include "record/consolefeedback.h"
#include "record/recordoptions.h"
#include "run/recordingsession.h"
#include "run/runfeedback.h"
#include "support/fakes.h"
#include "support/recorderscript.h"
#include "tracks/entrymark.h"

#include <functional>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace quorvex::testing {
namespace {

// What a run told its front end, and the answer it gets to the fit question.
class NotedFeedback final : public RunFeedback {
public:
    void showEntry(int index) override { shown.push_back(index); }
    void showTagFields(const std::optional<TagFields>& /*fields*/) override {}
    void setStatusLine(const QString& text) override { statusLines.append(text); }
    void showRunProgress(const RunProgress& now) override { progress = now; }
    void showNotice(const Notice& notice) override { notices.push_back(notice); }
    bool askRecordAnyway(const QString& question) override {
        questions.append(question);
        return recordAnyway;
    }
    void remindPauseMode() override { ++pauseReminders; }
    void entryEnded(const EndedEntry& entry) override {
        ended.append(QStringLiteral("%1 %2: %3")
                         .arg(entry.track ? QString::number(*entry.track) : QStringLiteral("-"), entry.title,
                              entryMarkText(entry.mark)));
    }

    std::vector<int> shown;
    QStringList statusLines;
    RunProgress progress;
    std::vector<Notice> notices;
    QStringList questions;
    bool recordAnyway = false;
    int pauseReminders = 0;
    QStringList ended; // "track title: mark" per entry, as the run was done with it
};

// The recording session on fake outside things, without any window, in virtual time: each pass of its waits
// is one Tick of the link. A fake recorder with 5 tracks answers the disc request and acknowledges record
// and (unless told otherwise) stop; the fake player moves 0.1 s per Tick through 0.5 s files.
class SessionTest : public ::testing::Test {
protected:
    SessionTest()
        : session(
              {.serial = *fakes.serial, .pump = *fakes.pump, .player = *fakes.player, .bus = *fakes.bus}) {
        fakes.pump->tick = [this] { session.recorder().tick(); };
        fakes.serial->open();
        fakes.serial->respond = fiveTrackRecorder(acknowledgesRecord, acknowledgesStop, &fakes.pump->ticks);
        refill();
    }

    // The Track list afresh, without marks, and the fakes' records emptied.
    void refill() {
        session.entries().clear();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            session.entries().append({writeFile(folder.filePath(name), silentWav)});
        }
        fakes.serial->frames.clear();
        fakes.player->opened.clear();
        fakes.pump->ticks = 0;
        fakes.serial->respond =
            fiveTrackRecorder(acknowledgesRecord, acknowledgesStop, &fakes.pump->ticks); // 5 tracks again
        feedback.notices.clear();
    }

    RunSummary record(bool gapless = false) {
        std::vector<int> all(static_cast<std::size_t>(session.entries().count()));
        std::iota(all.begin(), all.end(), 0);
        return session.record({.entries = all, .discMinutes = defaultDiscMinutes, .gapless = gapless},
                              feedback);
    }

    [[nodiscard]] std::vector<std::string> sent() const { return frameNames(fakes.serial->frames); }
    [[nodiscard]] QString mark(int entry) const { return entryMarkText(session.entries().mark(entry)); }
    [[nodiscard]] QStringList marks() const {
        QStringList all;
        for (int entry = 0; entry < session.entries().count(); ++entry) {
            all.append(mark(entry));
        }
        return all;
    }

    FakePlatform fakes;
    RecordingSession session;
    NotedFeedback feedback;
    QTemporaryDir folder;
    bool acknowledgesRecord = true;
    bool acknowledgesStop = true;
};

TEST_F(SessionTest, PauseModeSendsNoCommandButTitlesAndPausesAfterEveryTrack) {
    session.recorder().setPauseMode(true);
    const RecordedRun made = session.recordedRun(record());

    EXPECT_EQ(made.before, std::nullopt) << "the recorder was not asked what the disc holds";
    ASSERT_EQ(made.tracks.size(), 3U);
    EXPECT_EQ(made.tracks[2].number, 3);
    EXPECT_EQ(made.tracks[2].mark, "recorded");
    EXPECT_EQ(sent(), (std::vector<std::string>{"title 1", "title 2", "title 3"}))
        << "the request is a command too; the disc count stays what the link held (0)";
    // 2 s after the request, then per track: 1 Tick to start, 5 Ticks of sound, 40 Ticks of pause.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 5 + 40));
    EXPECT_EQ(feedback.pauseReminders, 1) << "once at the end";
    EXPECT_EQ(marks(), QStringList({"recorded", "recorded", "recorded"}));

    // An empty list: only the request and 2 s of waiting, and in pause mode the reminder at the end.
    session.entries().clear();
    record();
    EXPECT_EQ(feedback.pauseReminders, 2);
    session.recorder().setPauseMode(false);
    fakes.serial->frames.clear();
    fakes.pump->ticks = 0;
    record();
    EXPECT_EQ(sent(), std::vector<std::string>{"request"});
    EXPECT_EQ(fakes.pump->ticks, 20);
    EXPECT_EQ(feedback.pauseReminders, 2);
    EXPECT_EQ(fakes.bus->holds, 3) << "the computer kept awake for each run";
    EXPECT_EQ(fakes.bus->releases, 3);
}

// A missing stop acknowledgement only costs its time-out; a missing record acknowledgement ends the run: the
// recorder is stopped, and a critical notice says it could not record.
TEST_F(SessionTest, AMissingAcknowledgementCostsItsTimeOutOrEndsTheRunWithACriticalNotice) {
    acknowledgesStop = false;
    record();
    EXPECT_EQ(sent().size(), 14U);
    // Per track: 1 Tick for the record acknowledgement, 1 to start, 5 of sound, 40 waiting for the stop one;
    // then 1 for the disc's answer after the run.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 1 + 5 + 40) + 1);
    EXPECT_TRUE(feedback.notices.empty());

    refill();
    acknowledgesRecord = false;
    record();
    EXPECT_EQ(sent(), (std::vector<std::string>{"request", "record", "play", "stop"}));
    ASSERT_EQ(feedback.notices.size(), 1U);
    EXPECT_EQ(feedback.notices[0].text,
              "Not able to record - check recorder connections - is optical cable connected?");
    EXPECT_EQ(feedback.notices[0].severity, Severity::critical);
    EXPECT_EQ(marks(), QStringList({"skipped: the recorder did not acknowledge recording", "", ""}));
}

// How a track's sound ends, on the fake player: buffering or the output reopening is waited out; a stall
// is bounded at 150 Ticks; a stop from the bar, a failure or a lost output cut the track short. A computer
// without any sound output arms nothing. What the run has to say is one notice.
TEST_F(SessionTest, ATrackEndsOnlyAtItsEndAndAStallOrAMissingOutputIsBounded) {
    struct EndCase {
        const char* what;
        std::function<void()> whileA; // what the player does at each Tick from a.wav's sound on
        bool gapless;
        std::optional<QString> noOutput;
        std::vector<std::string> sent;
        QStringList marks;
        QString notice; // the start of the one notice, if any
    };
    const auto full =
        std::vector<std::string>{"request", "record", "play",   "title 6", "stop",    "record", "play",
                                 "title 7", "stop",   "record", "play",    "title 8", "stop",   "request"};
    // Alone, or first in a take, a.wav sounds from Tick 23.
    const auto onA = [this](const std::function<void()>& action) {
        return [this, action] {
            if (fakes.player->opened.back() == folder.filePath("a.wav") && fakes.player->takeFile() == 0 &&
                fakes.player->playState() != MediaPlayer::mediaEnded) {
                action();
            }
        };
    };
    const auto transitioning = [this] { fakes.player->setState(MediaPlayer::transitioning); };
    const QString notWhole = QStringLiteral("These files were not recorded whole:");
    const std::vector<EndCase> cases{
        {"buffering for 1 s",
         [this, onA, transitioning] {
             if (fakes.pump->ticks < 33) {
                 onA(transitioning)();
             }
         },
         false,
         {},
         full,
         {"recorded", "recorded", "recorded"},
         {}},
        {"a stall",
         onA(transitioning),
         false,
         {},
         full,
         {"cut short: the player stalled at 00:00", "recorded", "recorded"},
         notWhole},
        {"a stall in a take",
         onA(transitioning),
         true,
         {},
         {"request", "record", "play", "title 6", "stop", "request"},
         {"cut short: the player stalled at 00:00", "", ""},
         notWhole},
        {"stopped from the bar",
         onA([this] { fakes.player->setState(MediaPlayer::stopped); }),
         false,
         {},
         full,
         {"cut short: stopped from the player bar at 00:00", "recorded", "recorded"},
         notWhole},
        {"a failure",
         onA([this] {
             emit fakes.player->failed(folder.filePath("a.wav"), "Cannot play: broken");
             fakes.player->setState(MediaPlayer::stopped);
         }),
         false,
         {},
         full,
         {"cut short: Cannot play: broken at 00:00", "recorded", "recorded"},
         notWhole},
        {"the output lost",
         onA([this] {
             emit fakes.player->outputFailed(folder.filePath("a.wav"), "Connection refused");
             fakes.player->setState(MediaPlayer::stopped);
         }),
         false,
         {},
         {"request", "record", "play", "title 6", "stop", "request"},
         {"cut short: the sound output was lost at 00:00", "", ""},
         noSoundOutputText("Connection refused")},
        {"no sound output",
         {},
         false,
         QStringLiteral("Connection refused"),
         {"request"},
         {"", "", ""},
         noSoundOutputText("Connection refused")},
        {"no sound output for a take",
         {},
         true,
         QStringLiteral("Connection refused"),
         {"request"},
         {"", "", ""},
         noSoundOutputText("Connection refused")},
    };
    for (const EndCase& row : cases) {
        refill();
        fakes.player->noOutput = row.noOutput;
        fakes.pump->during.clear();
        // A take checks the three files first.
        for (int tick = row.gapless ? 26 : 23; row.whileA && tick < 400; ++tick) {
            fakes.pump->during[tick] = row.whileA;
        }
        record(row.gapless);

        EXPECT_EQ(sent(), row.sent) << row.what;
        EXPECT_EQ(marks(), row.marks) << row.what;
        ASSERT_EQ(feedback.notices.size(), row.notice.isEmpty() ? 0U : 1U) << row.what;
        if (!row.notice.isEmpty()) {
            EXPECT_TRUE(feedback.notices[0].text.startsWith(row.notice)) << row.what;
        }
        EXPECT_LT(fakes.pump->ticks, 20 + 3 * 50 + 160) << row.what << ": bounded";
    }
}

// Stop recording at each moment of a run: disc query, record acknowledgement, sound, stop acknowledgement,
// pause. The run ends at once, an armed recorder gets its stop, and only the entry it caught is cut off.
TEST_F(SessionTest, StopRecordingEndsTheRunAtEachMomentAndMarksTheEntryItCaught) {
    struct StopCase {
        const char* moment;
        int tick;
        bool pauseMode;
        bool acknowledgesRecord;
        std::vector<std::string> sent;
        QStringList marks;
        int ticks;        // when the run has ended
        int progressedTo; // the entry the progress shows at the end (0: none shown)
    };
    const QString cut = QStringLiteral("cut off by Stop recording");
    const std::vector<StopCase> cases{
        {"disc query", 10, false, true, {"request"}, {"", "", ""}, 10, 0},
        // Unanswered, the record wait would last 40 Ticks; the stop's answer takes one.
        {"record acknowledgement",
         25,
         false,
         false,
         {"request", "record", "play", "stop", "request"},
         {cut, "", ""},
         27,
         1},
        // After the stop, one more request reads the disc back.
        {"sound",
         24,
         false,
         true,
         {"request", "record", "play", "title 6", "stop", "request"},
         {cut, "", ""},
         26,
         1},
        // The stop's acknowledgement is awaited as always, and that entry is whole.
        {"stop acknowledgement",
         28,
         false,
         true,
         {"request", "record", "play", "title 6", "stop", "request"},
         {"recorded", "", ""},
         29,
         1},
        // The disc count is what the link heard last: the row before left 6 tracks.
        {"pause", 40, true, true, {"title 7"}, {"recorded", "", ""}, 40, 1},
    };
    for (const StopCase& row : cases) {
        refill();
        session.recorder().setPauseMode(row.pauseMode);
        feedback.progress = {};
        acknowledgesRecord = row.acknowledgesRecord;
        fakes.pump->during = {{row.tick, [this] { session.requestStop(); }}};
        const RunSummary summary = record();

        EXPECT_EQ(sent(), row.sent) << row.moment;
        EXPECT_EQ(marks(), row.marks) << row.moment;
        EXPECT_EQ(fakes.pump->ticks, row.ticks) << row.moment;
        EXPECT_TRUE(summary.stopped) << row.moment;
        EXPECT_EQ(feedback.progress.current, row.progressedTo) << row.moment;
        EXPECT_FALSE(session.isRecording()) << row.moment;
        EXPECT_EQ(feedback.pauseReminders, 0) << row.moment << ": no pause-mode reminder after a stop";
    }
}

// Gapless: the files are checked first, then one take records them with a track mark and a title at each
// boundary. Stop recording cuts off the file being heard; the rest, recorded again, is a new take.
TEST_F(SessionTest, AGaplessTakeMarksEachFileAndContinuesWithWhatStopRecordingLeft) {
    writeFile(folder.filePath("b.wav"), "no sound here");
    // 20 Ticks for the request, 1 to check each playable file and 1 for the take to be ready, 1 for the
    // record acknowledgement, 5 of a's sound: c is heard from Tick 29.
    RunProgress during;
    fakes.pump->during = {{31, [this, &during] {
                               during = feedback.progress;
                               session.requestStop();
                           }}};
    record(true);
    EXPECT_EQ(sent(), (std::vector<std::string>{"request", "record", "play", "title 6", "record", "title 7",
                                                "stop", "request"}));
    EXPECT_EQ(fakes.player->opened,
              QStringList({folder.filePath("a.wav"), folder.filePath("c.wav"), folder.filePath("a.wav")}))
        << "each playable file checked, then the take from its first";
    EXPECT_EQ(during.current, 3);
    EXPECT_EQ(during.count, 3);
    EXPECT_EQ(fakes.pump->ticks, 33) << "the stop's acknowledgement, then the disc's answer";
    EXPECT_EQ(marks(), QStringList({"recorded", "skipped: it is not a sound file of a listed format",
                                    "cut off by Stop recording"}));
    EXPECT_EQ(feedback.ended, QStringList({"- b: skipped: it is not a sound file of a listed format",
                                           "6 a: recorded", "7 c: cut off by Stop recording"}));
    ASSERT_EQ(feedback.notices.size(), 1U) << "the file left out is named, also after a stop";
    EXPECT_TRUE(feedback.notices[0].text.contains(folder.filePath("b.wav") + ": "));

    fakes.pump->during.clear();
    fakes.serial->frames.clear();
    session.record({.entries = {2}, .discMinutes = defaultDiscMinutes, .gapless = true}, feedback);
    EXPECT_EQ(sent(), (std::vector<std::string>{"request", "record", "play", "title 8", "stop", "request"}))
        << "the disc has the take's two tracks now";
    EXPECT_EQ(mark(2), "recorded");
    EXPECT_EQ(feedback.notices.size(), 1U);
}

// A cue track plays its part of its file and goes onto the disc under its sheet's title ("Track 02" without
// one): a record…stop cycle each, or a track mark in the take where it begins.
TEST_F(SessionTest, CueTracksPlayTheirPartOfTheFileUnderTheSheetsTitles) {
    const QString file = folder.filePath("a.wav");
    const auto track = [](int number, const char* title, CueTime start, std::optional<CueTime> end) {
        return CueTrack{
            .sheet = {}, .number = number, .title = title, .performer = {}, .start = start, .end = end};
    };
    const TrackSources tracks{{file, track(1, "Intro", CueTime{0}, CueTime{15})},
                              {file, track(2, "", CueTime{15}, std::nullopt)}};
    const std::vector<MediaItem> parts{{file, 0, 0.2}, {file, 0.2}};
    for (const bool gapless : {false, true}) {
        refill();
        session.entries().clear();
        session.entries().insert(0, tracks);
        fakes.player->items.clear();
        feedback.ended.clear();
        record(gapless);
        EXPECT_EQ(feedback.ended, QStringList({"6 Intro: recorded", "7 Track 02: recorded"})) << gapless;
        EXPECT_EQ(fakes.player->unbufferedPlays, 0) << "a run plays with its long buffer";
        EXPECT_FALSE(fakes.player->runBuffering) << "and leaves the short one to previews";
        EXPECT_EQ(fakes.player->items,
                  (gapless ? std::vector<MediaItem>{parts[0], parts[1], parts[0], parts[1]} : parts))
            << "each part checked, then the take of both";
        EXPECT_EQ(sent(),
                  (gapless ? std::vector<std::string>{"request", "record", "play", "title 6", "record",
                                                      "title 7", "stop", "request"}
                           : std::vector<std::string>{"request", "record", "play", "title 6", "stop",
                                                      "record", "play", "title 7", "stop", "request"}));
    }
}

// quorvex-record's options: each default is the window's remembered setting, an option given wins, and a
// setting that cannot be used counts as its key's default.
TEST(RecordCommand, DefaultsAreTheRememberedSettingsAndOptionsOverrideThem) {
    Journal journal;
    FakeSettingsStore settings(journal);
    settings.values = {{"Commport/COM", "3"},         {"General/Gapless", "1"},
                       {"General/Disc length", "80"}, {"General/Use ID3", "0"},
                       {"General/Output", "alsa/x"},  {"General/ASCII titles", "yes"}};
    const auto parsed = [&settings](const QStringList& arguments) {
        const ParsedRecordCommand command =
            parseRecordCommand(QStringList{"quorvex-record"} + arguments + QStringList{"a.wav"}, settings);
        EXPECT_TRUE(command.options.has_value()) << command.error.toStdString();
        return command.options.value_or(RecordOptions());
    };
    const RecordOptions remembered = parsed({});
    EXPECT_EQ(remembered.com, 3);
    EXPECT_TRUE(remembered.gapless);
    EXPECT_EQ(remembered.discMinutes, 80);
    EXPECT_FALSE(remembered.useTags);
    EXPECT_FALSE(remembered.asciiTitles) << "an unusable value is the default";
    EXPECT_EQ(remembered.output, "alsa/x");
    const RecordOptions given = parsed({"--com", "2", "--disc-length", "60", "--id3", "--output", "pulse/y"});
    EXPECT_EQ(given.com, 2);
    EXPECT_EQ(given.discMinutes, 60);
    EXPECT_TRUE(given.useTags);
    EXPECT_EQ(given.output, "pulse/y");
    EXPECT_FALSE(parsed({"--no-gapless"}).gapless) << "a remembered Gapless switched off";
    EXPECT_TRUE(parsed({"--ascii-titles"}).asciiTitles);
    settings.values["General/ASCII titles"] = "1";
    EXPECT_TRUE(parsed({}).asciiTitles);
    EXPECT_FALSE(parsed({"--no-ascii-titles"}).asciiTitles) << "remembered Plain ASCII titles switched off";
    EXPECT_TRUE(journal.empty()) << "nothing saved";

    EXPECT_EQ(consoleStatusLine({.current = 3, .count = 7, .secondsLeft = 2470, .done = 0.4, .track = 13},
                                "Coda", "01:12 / 03:40"),
              "3/7  13 Coda  01:12 / 03:40  41:10 left");
}

} // namespace
} // namespace quorvex::testing
