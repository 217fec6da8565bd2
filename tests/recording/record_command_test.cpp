// quorvex-record as a user runs it: a process on the virtual recorder's pseudo-terminal, playing into the
// private sound sink. Bad usage is refused with its status and message; a list is recorded with the window's
// frames, one line per entry; Ctrl+C stops the recorder, and a second one keeps the disc's record; the demo
// records without any sound output.
#include "deck/mdse/virtualdeck.h"
#include "integration/realwindow.h"
#include "run/discrecords.h"
#include "sinkrecorder.h"
#include "support/recorderscript.h"

#include <csignal>
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <set>

namespace quorvex::testing {
namespace {

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES);

// The command as a process: its exit status, standard output and standard error once it has ended. The
// event loop runs meanwhile, so the virtual recorder in this process answers.
struct Finished {
    int status = -1;
    QString out;
    QString err;
};

// Whether `text` is what `pattern` (a regular expression, for the times a run's timing decides) says, whole.
bool readsAs(const QString& text, const char* pattern) {
    return QRegularExpression(QStringLiteral("^%1$").arg(QString::fromUtf8(pattern))).match(text).hasMatch();
}

class RecordCommandTest : public RealWindowTest {
protected:
    RecordCommandTest() { program.setProgram(QStringLiteral(QUORVEX_RECORD_PROGRAM)); }

    // The sink's own output, so that nothing reaches the machine's speakers.
    static QStringList toSink() {
        return {QStringLiteral("--output"),
                QStringLiteral("pulse/%1").arg(qEnvironmentVariable("QUORVEX_TEST_SINK"))};
    }

    Finished run(const QStringList& arguments, const std::function<void()>& meanwhile = {}) {
        program.setArguments(arguments);
        program.start();
        EXPECT_TRUE(program.waitForStarted());
        const bool ended = QTest::qWaitFor(
            [&] {
                if (meanwhile) {
                    meanwhile();
                }
                return program.state() == QProcess::NotRunning;
            },
            60'000);
        EXPECT_TRUE(ended) << arguments.join(' ').toStdString();
        return {.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                .out = QString::fromLocal8Bit(program.readAllStandardOutput()),
                .err = QString::fromLocal8Bit(program.readAllStandardError())};
    }

    QProcess program;
};

// Bad usage is refused with its status and message; the answers and the plan are printed.
TEST_F(RecordCommandTest, UsageIsAnsweredWithItsStatusAndMessage) {
    const QString wav = fixtures + "/sine.wav";
    const QTemporaryDir folder;
    const QString sheet =
        writeFile(folder.filePath("Album.cue"),
                  "FILE \"" + fixtures.toUtf8() +
                      "/album.flac\" WAVE\nTRACK 01 AUDIO\n"
                      "TITLE Opening\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:07:00\n");
    struct Case {
        QStringList arguments;
        int status = 0;
        const char* said = ""; // on standard error, or on standard output for the answers
    };
    const std::vector<Case> cases{
        {{"--frobnicate", wav}, 4, "Unknown option 'frobnicate'."},
        {{}, 4, "Nothing to record: give sound files, folders, playlists or cue sheets."},
        {{"--com", "5", wav}, 4, "--com takes 1, 2, 3 or 4, not \"5\"."},
        {{"--disc-length", "90", wav}, 4, "--disc-length takes 60, 74 or 80, not \"90\"."},
        {{"--level", "-3", wav}, 4, "--level takes -6, 0, track or album, not \"-3\"."},
        {{"--id3", "--no-id3", wav}, 4, "--id3 and --no-id3 cannot both be given."},
        {{"--gapless", "--no-gapless", wav}, 4, "--gapless and --no-gapless cannot both be given."},
        {{"--com", "2", "--virtual-deck", wav}, 4, "each choose the recorder: give one."},
        {{"--device", "/dev/quorvex-absent", wav}, 4, "Error opening Com Port, please select another one: "},
        {{"--device", "/dev/null", "--output", "alsa/quorvex-absent", wav},
         4,
         "the sound output \"alsa/quorvex-absent\" is not connected"},
        {{"--virtual-deck", "/quorvex-absent.wav"}, 4, "nothing to record."},
        {{"--help"}, 0, "--record-anyway"},
        {{"--version"}, 0, "quorvex-record " QUORVEX_VERSION},
        {{"--virtual-deck", "--plan", sheet},
         0,
         "4 Opening  00:07\n5 Track 02  00:05\nThe list fits the disc.\n"},
    };
    for (const Case& row : cases) {
        const Finished finished = run(row.arguments);
        EXPECT_EQ(finished.status, row.status) << row.arguments.join(' ').toStdString();
        EXPECT_TRUE((row.status == 0 ? finished.out : finished.err).contains(QString::fromUtf8(row.said)))
            << row.arguments.join(' ').toStdString() << ": " << finished.err.toStdString();
    }
}

// The list onto the recorder: the disc named once, each playable file a titled track after the five on the
// disc, one line per entry; the empty file is not added (named on standard error), so the status is 1. At
// full level the tone reaches the sink as loud as it is in the file.
TEST_F(RecordCommandTest, RecordsAListWithTheWindowsFramesAndNamesEachEntry) {
    recorder = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5});
    const QTemporaryDir folder;
    const QString broken = folder.filePath("Broken.wav");
    ASSERT_TRUE(QFile(broken).open(QIODevice::WriteOnly));
    QElapsedTimer clock;
    clock.start();
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();
    const Finished finished =
        run(QStringList{"--device", recorder->devicePath(), "--disc-name", "Mix", "--no-id3", "--level", "0",
                        fixtures + "/title.flac", broken, fixtures + "/title.opus"} +
            toSink());
    sink.stop();
    QFile tone(fixtures + "/sine.wav"); // the same tone as the FLAC's
    ASSERT_TRUE(tone.open(QIODevice::ReadOnly));
    const QByteArray wav = tone.readAll();
    const int filePeak = test::peak(QByteArrayView(wav).sliced(wav.indexOf("data") + 8));
    EXPECT_NEAR(test::peak(sink.pcm()), filePeak, filePeak * 0.05);
    EXPECT_EQ(finished.status, 1) << finished.err.toStdString();
    EXPECT_TRUE(readsAs(finished.out, "6 title: recorded\n7 title: recorded\n"
                                      "The disc holds what was recorded: 7 tracks, \\d\\d:\\d\\d\\.\n"))
        << finished.out.toStdString();
    EXPECT_TRUE(finished.err.contains(broken + ": ")) << "named as the window's box names it";
    EXPECT_EQ(meanings(*recorder),
              QStringList({"on", R"(title track 0 "Mix" (disc name))", "disc information request", "record",
                           "play", R"(title track 6 "title")", "stop", "record", "play",
                           R"(title track 7 "title")", "stop", "disc information request"}));
    // The disc's record, in the folder the window uses too.
    const std::vector<DiscRecords::Listed> records = DiscRecords().list();
    ASSERT_FALSE(records.empty());
    ASSERT_TRUE(records.front().record.has_value());
    const DiscRecord& mix = *records.front().record;
    EXPECT_EQ(mix.discName, "Mix");
    EXPECT_EQ(mix.runs.back().before->tracks, 5);
    QStringList made;
    for (const RecordedTrack& track : mix.tracks()) {
        made.append(QStringLiteral("%1 %2 %3 %4")
                        .arg(track.number)
                        .arg(track.title, track.mark, QFileInfo(track.source.path).fileName()));
    }
    EXPECT_EQ(made, QStringList({"6 title recorded title.flac", "7 title recorded title.opus"}));
}

// From the disc request on, the recorder gets the same frames from the window's Record as from the command
// line, for the same list and settings, one track at a time or as one gapless take.
TEST_F(RecordCommandTest, TheWindowAndTheCommandLineGiveTheRecorderTheSameFrames) {
    const QTemporaryDir folder;
    const QString broken = folder.filePath("Broken.wav");
    ASSERT_TRUE(QFile(broken).open(QIODevice::WriteOnly));
    const QStringList list{fixtures + "/title.opus", broken, fixtures + "/title.flac"};
    const auto fromRequest = [](const QStringList& frames) {
        return frames.mid(frames.indexOf(QStringLiteral("disc information request")));
    };
    for (const bool gapless : {false, true}) {
        connectRecorder({.tracks = 5});
        control<QCheckBox>("tickUseID3")->setChecked(false);
        window->findChild<QAction*>(QStringLiteral("actionGapless"))->setChecked(gapless);
        trackList()->append(list);
        record();
        const QStringList fromWindow = fromRequest(meanings(*recorder));
        window.reset();

        recorder = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5});
        QStringList arguments{"--device", recorder->devicePath(), "--no-id3"};
        if (gapless) {
            arguments.append("--gapless");
        }
        const Finished finished = run(arguments + toSink() + list);
        EXPECT_EQ(finished.status, 1) << finished.err.toStdString();
        EXPECT_EQ(fromRequest(meanings(*recorder)), fromWindow)
            << (gapless ? "gapless" : "one track at a time");
        EXPECT_EQ(fromWindow.filter(QRegularExpression(QStringLiteral("^record"))).size(), 2)
            << fromWindow.join('\n').toStdString();
    }
}

// Ctrl+C during a track stops the recorder, awaits its answer and exits with 130; the entry is cut off.
TEST_F(RecordCommandTest, CtrlCIsStopRecording) {
    recorder = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5});
    bool sent = false;
    const Finished finished = run(QStringList{"--device", recorder->devicePath(), "--no-id3",
                                              fixtures + "/title.flac", fixtures + "/title.flac"} +
                                      toSink(),
                                  [&] {
                                      if (!sent && meanings(*recorder).contains("play")) {
                                          sent = ::kill(static_cast<pid_t>(program.processId()), SIGINT) == 0;
                                      }
                                  });
    EXPECT_EQ(finished.status, 130) << finished.err.toStdString();
    EXPECT_EQ(meanings(*recorder).mid(1), QStringList({"disc information request", "record", "play", "stop",
                                                       "disc information request"}));
    EXPECT_TRUE(readsAs(finished.out, "6 title: cut off by Stop recording\n"
                                      "The disc holds what was recorded: 6 tracks, \\d\\d:\\d\\d\\.\n"))
        << finished.out.toStdString();
}

// A recorder that does not acknowledge recording ends the run with status 2 and the window's message; when it
// does not answer the stop, a second Ctrl+C leaves at once (130) instead of waiting out the answer's 4 s.
TEST_F(RecordCommandTest, AMissingAcknowledgementOrASecondCtrlCEndsTheProgramWithItsStatus) {
    struct Case {
        const char* what;
        std::set<deck::Answer> answered;
        int interrupts = 0;
        int status = 0;
        const char* said = "";
    };
    const std::vector<Case> cases{
        {"no record acknowledgement",
         {deck::Answer::discInformation, deck::Answer::stop},
         0,
         2,
         "Not able to record - check recorder connections - is optical cable connected?"},
        {"no stop acknowledgement, Ctrl+C twice",
         {deck::Answer::discInformation, deck::Answer::record},
         2,
         130},
    };
    for (const Case& row : cases) {
        recorder = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5},
                                                       deck::Faults{.answerOnly = row.answered});
        int sent = 0;
        QElapsedTimer sinceLastSignal;
        const Finished finished = run(
            QStringList{"--device", recorder->devicePath(), "--no-id3", fixtures + "/title.flac"} + toSink(),
            [&] {
                if (sent < row.interrupts && meanings(*recorder).contains(sent == 0 ? "play" : "stop") &&
                    ::kill(static_cast<pid_t>(program.processId()), SIGINT) == 0) {
                    ++sent;
                    sinceLastSignal.start();
                }
            });
        EXPECT_EQ(finished.status, row.status) << row.what << ": " << finished.err.toStdString();
        EXPECT_TRUE(finished.err.contains(QString::fromUtf8(row.said))) << finished.err.toStdString();
        if (row.interrupts == 2) {
            EXPECT_LT(sinceLastSignal.elapsed(), 2000) << "the second Ctrl+C waits for nothing";
            // The track it was recording is on the disc, and so in the disc's record.
            EXPECT_EQ(finished.out, "6 title: cut off by Stop recording\n");
            const std::vector<DiscRecords::Listed> records = DiscRecords().list();
            ASSERT_FALSE(records.empty());
            ASSERT_TRUE(records.front().record.has_value());
            const std::vector<RecordedTrack> tracks = records.front().record->tracks();
            ASSERT_EQ(tracks.size(), 1U);
            EXPECT_EQ(QStringLiteral("%1 %2").arg(tracks[0].number).arg(tracks[0].mark),
                      "6 cut off by Stop recording");
        }
    }
}

// The demo's recorder inside the program, without any sound server: a folder recorded in silence.
TEST_F(RecordCommandTest, TheVirtualDeckRecordsAFolderWithoutASoundServer) {
    const QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(fixtures + "/title.flac", folder.filePath("One.flac")));
    ASSERT_TRUE(QFile::copy(fixtures + "/title.opus", folder.filePath("Two.opus")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/quorvex-absent"));
    environment.insert(QStringLiteral("PIPEWIRE_REMOTE"), QStringLiteral("/quorvex-absent"));
    program.setProcessEnvironment(environment);
    const Finished finished = run({"--virtual-deck", "--no-id3", folder.path()});
    EXPECT_EQ(finished.status, 0) << finished.err.toStdString();
    EXPECT_TRUE(readsAs(finished.out, "4 One: recorded\n5 Two: recorded\n"
                                      "The disc holds what was recorded: 5 tracks, 12:3\\d\\.\n"))
        << finished.out.toStdString();
    EXPECT_TRUE(finished.err.contains(R"(title track 5 "Two")")) << finished.err.toStdString();
}

// An MDS-E deck: every title whole in its names (a take's too, named after its stop), the disc named before
// the first REC, and remote mode left at the end, after Ctrl+C and after SIGTERM alike.
TEST_F(RecordCommandTest, AnMdseDeckGetsWholeTitlesAndIsLeftInLocalModeEveryWayOut) {
    const QTemporaryDir folder;
    const QString forty = QStringLiteral("Forty characters in this track's title!!");
    ASSERT_EQ(forty.size(), 40);
    ASSERT_TRUE(QFile::copy(fixtures + "/title.flac", folder.filePath(forty + ".flac")));
    QStringList take;
    for (const char* name : {"Take [1]", "Take {2}", "Take 3", "Take 4"}) {
        take.append(folder.filePath(QString::fromLatin1(name) + ".opus"));
        ASSERT_TRUE(QFile::copy(fixtures + "/title.opus", take.back()));
    }
    const auto names = [](const deck::mdse::VirtualDeck& deck) {
        QStringList all{QString::fromLatin1(deck.disc()->name)};
        for (const deck::mdse::Track& track : deck.disc()->tracks) {
            all.append(QString::fromLatin1(track.name));
        }
        return all;
    };
    deck::mdse::VirtualDeck deck;
    const QStringList mdse{"--device", deck.devicePath(), "--recorder", "mds-e", "--no-id3"};
    QElapsedTimer clock;
    clock.start();
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();
    Finished finished =
        run(mdse + QStringList{"--disc-name", "Evening", folder.filePath(forty + ".flac")} + toSink());
    sink.stop();
    EXPECT_EQ(finished.status, 0) << finished.err.toStdString();
    const std::vector<test::SoundSpan> heard = test::soundSpans(sink.pcm(), 44);
    ASSERT_EQ(heard.size(), 1U) << "one sound, whole";
    EXPECT_NEAR(static_cast<double>(heard[0].lastFrame - heard[0].firstFrame) / 44100, 1.0, 0.02);
    finished = run(mdse + QStringList{"--gapless"} + take + toSink());
    EXPECT_EQ(finished.status, 0) << finished.err.toStdString();
    EXPECT_EQ(names(deck), QStringList({"Evening", forty, "Take (1)", "Take (2)", "Take 3", "Take 4"}));
    EXPECT_FALSE(deck.isRemote());

    for (const int signal : {SIGINT, SIGTERM}) {
        bool sent = false;
        QElapsedTimer recording;
        finished = run(mdse + QStringList{folder.filePath(forty + ".flac")} + toSink(), [&] {
            if (!recording.isValid() && deck.mode() == deck::mdse::Mode::record) {
                recording.start();
            }
            if (!sent && recording.isValid() && recording.elapsed() > 300) {
                sent = ::kill(static_cast<pid_t>(program.processId()), signal) == 0;
            }
        });
        EXPECT_EQ(finished.status, 128 + signal) << finished.err.toStdString();
        EXPECT_EQ(deck.mode(), deck::mdse::Mode::stop) << signal;
        EXPECT_FALSE(deck.isRemote()) << signal;
        EXPECT_EQ(names(deck).back(), forty) << signal << ": the cut-off track is named too";
    }
    EXPECT_EQ(run(mdse + QStringList{"--insert-pauses", take.front()}).status, 4);
}

// After a run the disc is read back: a track the deck never made is found, as a whole on the Control-A1
// recorder (its count and total), by its number on an MDS-E deck, which marks the entry; both exit 1.
TEST_F(RecordCommandTest, TheDiscReadBackAfterTheRunFindsATrackTheDeckDidNotMake) {
    const QStringList three{fixtures + "/title.flac", fixtures + "/title.opus", fixtures + "/title.flac"};
    recorder = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5},
                                                   deck::Faults{.readBack = {.dropTrack = 2}});
    Finished finished = run(QStringList{"--device", recorder->devicePath(), "--no-id3"} + three + toSink());
    EXPECT_EQ(finished.status, 1) << finished.err.toStdString();
    EXPECT_TRUE(readsAs(finished.out,
                        "6 title: recorded\n7 title: recorded\n8 title: recorded\n"
                        "The disc holds 7 tracks, \\d\\d:\\d\\d; 8 tracks, \\d\\d:\\d\\d were expected\\.\n"))
        << finished.out.toStdString();
    EXPECT_EQ(meanings(*recorder).filter("disc information request").size(), 2) << "one before, one after";

    deck::mdse::VirtualDeck deck({}, {}, deck::mdse::Faults{.readBack = {.dropTrack = 2}});
    finished =
        run(QStringList{"--device", deck.devicePath(), "--recorder", "mds-e", "--no-id3"} + three + toSink());
    EXPECT_EQ(finished.status, 1) << finished.err.toStdString();
    EXPECT_EQ(finished.out, "1 title: recorded\n- title: skipped: not on the disc\n2 title: recorded\n"
                            "Track 2 is not on the disc.\n");
    ASSERT_EQ(deck.disc()->tracks.size(), 2U);
    EXPECT_EQ(deck.disc()->tracks[1].name, "title") << "the next track takes the number and its own name";
    // The record says so, with each track as the deck read it back.
    const std::vector<DiscRecords::Listed> records = DiscRecords().list();
    ASSERT_FALSE(records.empty());
    ASSERT_TRUE(records.front().record.has_value());
    const RecordedRun& checked = records.front().record->runs.back();
    EXPECT_EQ(checked.notChecked, "differs");
    ASSERT_EQ(checked.onDisc.size(), 2);
    EXPECT_TRUE(checked.onDisc[1].startsWith("2 1 title")) << checked.onDisc[1].toStdString();
}

// The faults a read-back must catch, on either deck: the run's last line, its status, and what its record
// keeps. A Control-A1 deck answers only a count and a total (its names are never read back); a name an MDS-E
// deck garbled is written once more and reads back right.
TEST_F(RecordCommandTest, EachFaultOnTheDiscIsFoundSaidAndKept) {
    struct Case {
        const char* family;
        deck::ReadBackFaults faults;
        const char* out; // a pattern
        int status = 0;
        const char* kept;                // the record's #QUORVEX-NOT-CHECKED, empty: checked as planned
        const char* file = "title.flac"; // 1 s; a track 3 s short needs the 3 s one
        const char* mark = "recorded";   // the track's in the record
    };
    const std::vector<Case> cases{
        {"control-a1",
         {.shortBySeconds = 3},
         "6 sine: recorded\nThe disc holds 6 tracks, \\d\\d:\\d\\d; 6 tracks, \\d\\d:\\d\\d were "
         "expected\\.\n",
         1,
         "differs",
         "sine.wav"},
        {"mds-e",
         {.shortBySeconds = 3},
         "1 sine: recorded\nTrack 1 is 00:00 on the disc but 00:0\\d was recorded \\(the recorder stopped "
         "early\\)\\.\n",
         1,
         "differs",
         "sine.wav",
         "cut short: the recorder stopped early at 00:00"},
        {"mds-e",
         {.garbleName = 1},
         "1 title: recorded\nThe disc holds what was recorded: 1 track, 00:0\\d\\.\n",
         0,
         ""},
        {"control-a1",
         {.unansweredAfterRecording = true},
         "6 title: recorded\nThe disc could not be checked: the recorder did not answer\\.\n",
         1,
         "no answer"},
        {"mds-e",
         {.unansweredAfterRecording = true},
         "1 title: recorded\nThe disc could not be checked: the recorder did not answer\\.\n",
         1,
         "no answer"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.family);
        QDir(discRecordsFolder()).removeRecursively();
        std::unique_ptr<deck::VirtualDeck> controlA1;
        std::unique_ptr<deck::mdse::VirtualDeck> mdse;
        QString device;
        if (QLatin1String(test.family) == QLatin1String("mds-e")) {
            mdse = std::make_unique<deck::mdse::VirtualDeck>(deck::mdse::Disc{}, deck::mdse::Settings{},
                                                             deck::mdse::Faults{.readBack = test.faults});
            device = mdse->devicePath();
        } else {
            controlA1 = std::make_unique<deck::VirtualDeck>(deck::Disc{.tracks = 5},
                                                            deck::Faults{.readBack = test.faults});
            device = controlA1->devicePath();
        }
        const Finished finished = run(QStringList{"--device", device, "--recorder", test.family, "--no-id3",
                                                  fixtures + '/' + test.file} +
                                      toSink());
        EXPECT_EQ(finished.status, test.status) << finished.err.toStdString();
        EXPECT_TRUE(readsAs(finished.out, test.out)) << finished.out.toStdString();
        const std::vector<DiscRecords::Listed> records = DiscRecords().list();
        ASSERT_EQ(records.size(), 1U);
        ASSERT_TRUE(records.front().record.has_value());
        const RecordedRun& kept = records.front().record->runs.back();
        EXPECT_EQ(kept.notChecked, test.kept);
        EXPECT_EQ(kept.checked.isEmpty(), !QString(test.kept).isEmpty());
        ASSERT_EQ(kept.tracks.size(), 1U);
        EXPECT_EQ(kept.tracks[0].mark, test.mark);
        if (mdse && test.faults.garbleName) {
            EXPECT_EQ(mdse->disc()->tracks.at(0).name, "title") << "written once more";
        }
    }
}

} // namespace
} // namespace quorvex::testing
