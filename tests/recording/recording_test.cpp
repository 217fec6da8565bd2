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

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
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

// Files that cannot play are found before the recorder hears of them, so they leave no track, and each
// title goes to the track being recorded, also when the recorder sends a status frame behind every answer.
TEST_F(RecordingRunTest, AMixedListMakesOneTitledTrackPerPlayableFileAndNoneForTheRest) {
    deck::Faults statusBehind;
    statusBehind.noiseAfter = QByteArray::fromHex("81 05 05 47 FF");
    connectRecorder(statusBehind);
    window->findChild<QCheckBox*>("tickUseID3")->setChecked(false);
    const QTemporaryDir folder;
    const auto make = [&folder](const char* name, const QByteArray& contents) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        return file.fileName();
    };
    const auto copy = [&make](const char* name, const char* fixture) {
        QFile source(fixtures + '/' + fixture);
        EXPECT_TRUE(source.open(QIODevice::ReadOnly));
        return make(name, source.readAll());
    };
    QByteArray noise(20'000, '\0');
    std::generate(noise.begin(), noise.end(),
                  [n = 7U]() mutable { return static_cast<char>((n = n * 1103515245U + 12345U) >> 16); });
    const QByteArray pcmHeader = QByteArray(
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data\0\0\0\0", 44);
    const QStringList broken{make("b_Noise.mp3", noise), make("c_Empty.wav", {}),
                             make("e_Lie.wav", pcmHeader)};
    trackList()->addItems({copy("a_One.wav", "sine.wav"), broken[0], broken[1],
                           copy("d_Four.mp3", "sine.mp3"), broken[2], copy("f_Six.wma", "sine.wma")});

    record();

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "One")", "stop",
                           "record", "play", R"(title track 7 "Four")", "stop", "record", "play",
                           R"(title track 8 "Six")", "stop"}));
    ASSERT_EQ(answers.texts().size(), 1);
    for (const QString& file : broken) {
        EXPECT_TRUE(answers.texts()[0].contains(QStringLiteral("\n%1: ").arg(file)))
            << answers.texts()[0].toStdString();
    }
    QTest::mouseClick(window->findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
    EXPECT_TRUE(window->findChild<QLabel*>("lblTrackInfo")->text().startsWith("8 Tracks "))
        << window->findChild<QLabel*>("lblTrackInfo")->text().toStdString();
}

TEST_F(RecordingRunTest, ALostRecordAcknowledgementStopsTheRecorderBeforeTheError) {
    deck::Faults noRecordAnswer;
    noRecordAnswer.answerOnly = std::set<deck::Answer>{deck::Answer::stop, deck::Answer::discInformation};
    connectRecorder(noRecordAnswer);
    add({"sine.wav", "sine.wma"});

    EXPECT_GE(record(), 2 + 3.9) << "2 s after the request, then 40 Ticks for the acknowledgement";

    EXPECT_EQ(meanings(*recorder), QStringList({"disc information request", "record", "play", "stop"}));
    ASSERT_EQ(answers.texts().size(), 1) << "the error, and no notice after it";
    EXPECT_EQ(answers.texts()[0],
              "Not able to record - check recorder connections - is optical cable connected?");
    EXPECT_EQ(window->findChild<QLabel*>("statusLine")->text(), "Recording sine");
}

// The recorder armed for a track is stopped at its end even when "Insert pauses" was ticked meanwhile;
// pause mode takes over from the next file: titles only, and 4 s of silence after each file.
TEST_F(RecordingRunTest, PauseModeTickedMidTrackStillStopsTheArmedRecorder) {
    connectRecorder();
    add({"sine.wav", "sine.wma"});
    QTimer::singleShot(3500, window.get(),
                       [this] { window->findChild<QCheckBox*>("chkInsertPauses")->setChecked(true); });

    EXPECT_GE(record(), 2 + 2 * (3 + 3.9));

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop",
                           R"(title track 7 "sine")"}));
    EXPECT_EQ(window->findChild<QLabel*>("statusLine")->text(), "Pausing...");
    ASSERT_EQ(answers.texts().size(), 2) << "the notice on ticking and once at the end";
    EXPECT_TRUE(answers.texts()[1].startsWith("Checking this box disables"));
}

TEST_F(RecordingRunTest, RecordDuringCheckDiscStartsNothing) {
    deck::Faults late;
    late.lateBy = std::chrono::milliseconds{1500};
    connectRecorder(late);
    add({"sine.wav"});
    QTimer::singleShot(500, window.get(), [this] { record(); });

    QTest::mouseClick(window->findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);

    EXPECT_EQ(meanings(*recorder), QStringList({"disc information request"}));
    EXPECT_EQ(window->findChild<QLabel*>("lblTrackInfo")->text(), "5 Tracks 00m 00s");
}

} // namespace
} // namespace quorvex::testing
