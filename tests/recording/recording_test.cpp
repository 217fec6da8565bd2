#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "decklog.h"
#include "pcm.h"
#include "platform/inisettingsstore.h"
#include "recordingfixture.h"
#include "sinkrecorder.h"
#include "support/modalwatcher.h"
#include "support/printers.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <set>
#include <vector>

namespace quorvex::testing {
namespace {

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES);

// The window on the virtual recorder with a disc of 5 tracks.
class RecordingRunTest : public RecordingWindowTest {
protected:
    void connectRecorder(const deck::Faults& faults = {}) {
        deck::Disc disc;
        disc.tracks = 5;
        RecordingWindowTest::connectRecorder(disc, faults);
    }

    void add(const QStringList& files) const {
        for (const QString& file : files) {
            trackList()->addItem(fixtures + '/' + file);
        }
    }
};

TEST(RecordingRun, ThreeFilesBecomeNamedTracksAfterTheFiveOnTheDisc) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "start the sound sink: scripts/test does";
    deck::Disc disc;
    disc.tracks = 5;
    deck::VirtualDeck recorder(disc);
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.devicePath());
    // The sound goes to PulseAudio: the test command's private null sink.
    frmQuorvex window(makeSystemPlatform(QStringLiteral("pulse")));
    window.selectPort(1);
    window.findChild<QCheckBox*>("tickUseID3")->setChecked(true);
    auto* tracks = window.findChild<QListWidget*>("ListOfMusic");
    tracks->addItems({fixtures + "/sine.mp3", fixtures + "/sine.wav", fixtures + "/sine.wma"});
    const ModalWatcher answers;
    // When the recorder took in its record and stop commands, and what reached the sink, on one clock.
    QElapsedTimer clock;
    clock.start();
    std::vector<double> records;
    std::vector<double> stops;
    QObject::connect(&recorder, &deck::VirtualDeck::frameReceived, [&](const QString& line) {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (line.endsWith(QLatin1String("  record"))) {
            records.push_back(now); // the acknowledgement leaves as the command is read
        } else if (line.endsWith(QLatin1String("  stop"))) {
            stops.push_back(now);
        }
    });
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors().toStdString();

    QTest::mouseClick(window.findChild<QAbstractButton*>("btnRecordList"), Qt::LeftButton);
    sink.stop();

    const QStringList expected{"disc information request",
                               "record",
                               "play",
                               R"(title track 6 "Sine Title")",
                               "stop",
                               "record",
                               "play",
                               R"(title track 7 "sine")",
                               "stop",
                               "record",
                               "play",
                               R"(title track 8 "sine")",
                               "stop"};
    EXPECT_EQ(meanings(recorder), expected);
    EXPECT_EQ(recorder.disc().tracks, 8);
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('\n').toStdString();
    const QString status = window.findChild<QLabel*>("statusLine")->text();
    EXPECT_TRUE(QRegularExpression(R"(^00:03 / 00:03$)").match(status).hasMatch())
        << "the last progress text shows the end: " << status.toStdString();

    // Each file's sound lies wholly between its record acknowledgement and its stop command: nothing of
    // it is lost off either end of the track. The sink's times come from parec, at most 10 ms early.
    constexpr qsizetype gap = test::SinkRecorder::rate / 20;
    const std::vector<test::SoundSpan> sounds = test::soundSpans(sink.pcm(), gap);
    ASSERT_EQ(sounds.size(), 3U);
    ASSERT_EQ(records.size(), 3U);
    ASSERT_EQ(stops.size(), 3U);
    const double recordingStart = sink.startSeconds().value_or(0);
    const auto at = [recordingStart](qsizetype frame) {
        return recordingStart + static_cast<double>(frame) / test::SinkRecorder::rate;
    };
    constexpr double parecSlack = 0.010;
    for (std::size_t track = 0; track < sounds.size(); ++track) {
        SCOPED_TRACE(track);
        EXPECT_GT(at(sounds[track].firstFrame) + parecSlack, records[track])
            << "sound before the recorder records";
        EXPECT_LT(at(sounds[track].lastFrame + 1), stops[track])
            << "the recorder stopped before the sound ended";
        EXPECT_NEAR(at(sounds[track].lastFrame + 1) - at(sounds[track].firstFrame), 3.0, 0.05)
            << "the whole file";
    }
}

TEST_F(RecordingRunTest, AnEmptyListOnlyAsksForTheDiscAndWaits) {
    connectRecorder();
    EXPECT_GE(record(), 1.9);
    EXPECT_EQ(meanings(*recorder), QStringList({"disc information request"}));
    EXPECT_TRUE(answers.texts().isEmpty()) << "no notice without pause mode";
}

TEST_F(RecordingRunTest, PauseModeSendsOnlyTitlesAndPausesAfterEveryFile) {
    connectRecorder();
    window->findChild<QCheckBox*>("chkInsertPauses")->setChecked(true);
    add({"sine.wav", "sine.wma"});

    EXPECT_GE(record(), 2 * (3 + 3.9)) << "each file, then 4 s of silence";

    // No command at all, not even the disc request: the numbers follow an empty reply window.
    EXPECT_EQ(meanings(*recorder), QStringList({R"(title track 1 "sine")", R"(title track 2 "sine")"}));
    EXPECT_EQ(window->findChild<QLabel*>("statusLine")->text(), "Pausing...");
    ASSERT_EQ(answers.texts().size(), 2) << "the notice on ticking and once at the end";
    EXPECT_TRUE(answers.texts()[1].startsWith("Checking this box disables"));
}

TEST_F(RecordingRunTest, ASilentRecorderStopsTheRunWithTheErrorAndNothingPlays) {
    deck::Faults silent;
    silent.silent = true;
    connectRecorder(silent);
    add({"sine.wav", "sine.wma"});

    const double seconds = record();

    EXPECT_GE(seconds, 2 + 3.9) << "2 s after the request, then 40 Ticks for the acknowledgement";
    EXPECT_EQ(meanings(*recorder), QStringList({"disc information request", "record", "play"}));
    ASSERT_EQ(answers.texts().size(), 1) << "the error, and no notice after it";
    EXPECT_EQ(answers.texts()[0],
              "Not able to record - check recorder connections - is optical cable connected?");
    EXPECT_EQ(window->findChild<QLabel*>("statusLine")->text(), "Recording sine");
}

TEST_F(RecordingRunTest, AStopThatIsNeverAcknowledgedOnlyCostsItsTimeOut) {
    deck::Faults noStopAnswer;
    noStopAnswer.answerOnly = std::set<deck::Answer>{deck::Answer::record, deck::Answer::discInformation};
    connectRecorder(noStopAnswer);
    add({"sine.wav", "sine.wma"});

    EXPECT_GE(record(), 2 + 2 * (3 + 3.9));
    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop",
                           "record", "play", R"(title track 7 "sine")", "stop"}));
    EXPECT_TRUE(answers.texts().isEmpty());
}

TEST_F(RecordingRunTest, UnplayableFilesInTheMiddleAreSkippedAndListed) {
    connectRecorder();
    add({"sine.wav", "text.mp3", "tagsonly.mp3", "sine.wma"});

    record();

    // text.mp3 is refused before the recorder is armed; tagsonly.mp3 only fails in the player, and the
    // recorder is stopped again at once.
    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop",
                           "record", "play", "stop", "record", "play", R"(title track 9 "sine")", "stop"}));
    ASSERT_EQ(answers.texts().size(), 1);
    EXPECT_TRUE(answers.texts()[0].contains(fixtures + "/text.mp3: it is not an MP3, WAV or WMA sound file"))
        << answers.texts()[0].toStdString();
    EXPECT_TRUE(answers.texts()[0].contains(fixtures + "/tagsonly.mp3: "));
}

TEST_F(RecordingRunTest, DuringARunRecordPreviewAndDiscCheckDoNothing) {
    connectRecorder();
    add({"sine.wav"});
    QTimer::singleShot(3000, window.get(), [this] {
        QTest::mouseClick(window->findChild<QAbstractButton*>("btnRecordList"), Qt::LeftButton);
        QTest::mouseClick(window->findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
        window->ListOfMusic_DblClick();
    });

    record();

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop"}));
    EXPECT_FALSE(window->isRecording());
}

} // namespace
} // namespace quorvex::testing
