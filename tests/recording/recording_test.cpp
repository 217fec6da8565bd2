// Whole recording runs for real: the window offscreen, QSerialPort on the virtual recorder's pseudo-terminal,
// libmpv playing into the private PulseAudio null sink (scripts/sound-sink.sh), in real time. Broken and
// hostile input too: files that are not what their names say, names no one would type, a recorder that
// loses an answer or vanishes mid-run. Nothing may crash or hang; every file ends as a titled track on the
// disc, or named in the message at the end of the run.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "sinkrecorder.h"
#include "support/fileaccess.h"
#include "support/modalwatcher.h"
#include "support/printers.h"
#include "tracks/dirlistbox.h"
#include "tracks/filelistbox.h"
#include "tracks/titlerules.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <vector>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES);

QByteArray fixture(const char* name) {
    QFile file(fixtures + '/' + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray littleEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// The header of a 44.1 kHz 16-bit stereo WAV that holds no sound.
const QByteArray wavHeader(
    "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data\0\0\0\0", 44);

// Half a second of the tone as a WAV whose header claims `claimed` bytes of sound; `before` stands between
// the format and the sound.
QByteArray wav(std::optional<quint32> claimed = {}, const QByteArray& before = {}) {
    const QByteArray tone = fixture("sine.wav");
    const QByteArray sound = tone.mid(tone.indexOf("data") + 8, 88200);
    QByteArray file = wavHeader.first(36) + before + "data" + littleEndian32(claimed.value_or(sound.size()));
    file += sound;
    return file.replace(4, 4, littleEndian32(file.size() - 8));
}

// Bytes no decoder can take for sound: no 0xFF, so no MPEG frame sync, and no known header.
QByteArray noise(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(255));
    }
    return bytes;
}

// The window on the virtual recorder, its sound going to the private null sink; message boxes are answered
// and noted.
class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            << "start the sound sink: scripts/test does";
        // Before the player starts its threads, so that they too meet the file permissions.
        ASSERT_TRUE(obeyFilePermissions());
    }

    void connectRecorder(const deck::Disc& disc, const deck::Faults& faults = {}) {
        recorder = std::make_unique<deck::VirtualDeck>(disc, faults);
        IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                recorder->devicePath());
        window = std::make_unique<frmQuorvex>(makeSystemPlatform(QStringLiteral("pulse")));
        window->selectPort(1);
    }

    template <typename Widget = QAbstractButton> Widget* control(const char* name) const {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    void click(const char* button) const { QTest::mouseClick(control(button), Qt::LeftButton); }
    [[nodiscard]] QString label(const char* name) const { return control<QLabel>(name)->text(); }
    [[nodiscard]] QListWidget* trackList() const { return control<QListWidget>("ListOfMusic"); }

    // Presses Record; returns the seconds until the run was over.
    double record() const {
        QElapsedTimer clock;
        clock.start();
        click("btnRecordList");
        return static_cast<double>(clock.elapsed()) / 1000;
    }

    // What a recorder understood, frame by frame: the meaning at the end of each log line.
    static QStringList meanings(const deck::VirtualDeck& deck) {
        static const QRegularExpression meaning(
            QStringLiteral(R"(^\S+\s+(?:[0-9A-F]{2} )*[0-9A-F]{2}\s+(.*)$)"));
        return deck.log().replaceInStrings(meaning, QStringLiteral("\\1"));
    }

    ModalWatcher answers;
    std::unique_ptr<deck::VirtualDeck> recorder;
    std::unique_ptr<frmQuorvex> window;
};

// Files that cannot play are found before the recorder hears of them, so they leave no track; each good file
// becomes a whole track after the five on the disc, titled from its tag or its name, also when the recorder
// sends a status frame behind every answer.
TEST_F(RecordingTest, AMixedListLandsEachPlayableFileWholeAndTitledAndNothingForTheRest) {
    connectRecorder({.tracks = 5}, {.noiseAfter = QByteArray::fromHex("81 05 05 47 FF")});
    control<QCheckBox>("tickUseID3")->setChecked(true);
    const QTemporaryDir folder;
    const QStringList broken{folder.filePath("Noise.mp3"), folder.filePath("Empty.wav"),
                             folder.filePath("Lie.wav")};
    ASSERT_TRUE(write(broken[0], noise(20'000, 7)) && write(broken[1], {}) && write(broken[2], wavHeader));
    trackList()->addItems({fixtures + "/sine.mp3", broken[0], fixtures + "/sine.wav", broken[1], broken[2],
                           fixtures + "/sine.wma"});
    // When the recorder took in its record and stop commands, and what reached the sink, on one clock.
    QElapsedTimer clock;
    clock.start();
    std::vector<double> records;
    std::vector<double> stops;
    QObject::connect(recorder.get(), &deck::VirtualDeck::frameReceived, [&](const QString& line) {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (line.endsWith(QLatin1String("  record"))) {
            records.push_back(now); // the acknowledgement leaves as the command is read
        } else if (line.endsWith(QLatin1String("  stop"))) {
            stops.push_back(now);
        }
    });
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();

    record();
    sink.stop();

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "Sine Title")",
                           "stop", "record", "play", R"(title track 7 "sine")", "stop", "record", "play",
                           R"(title track 8 "sine")", "stop"}));
    ASSERT_EQ(answers.texts().size(), 1);
    for (const QString& file : broken) {
        EXPECT_TRUE(answers.texts()[0].contains(QStringLiteral("\n%1: ").arg(file)))
            << answers.texts()[0].toStdString();
    }
    EXPECT_FALSE(answers.texts()[0].contains(fixtures)) << "the good files are not named";
    EXPECT_EQ(label("statusLine"), "00:03 / 00:03") << "the last progress text shows the end";
    // Each file's sound lies wholly between its record acknowledgement and its stop command: nothing of it is
    // lost off either end of the track. The sink's times come from parec, at most 10 ms early.
    const std::vector<test::SoundSpan> sounds = test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 20);
    ASSERT_EQ(sounds.size(), 3U);
    ASSERT_EQ(records.size(), 3U);
    ASSERT_EQ(stops.size(), 3U);
    for (std::size_t track = 0; track < sounds.size(); ++track) {
        SCOPED_TRACE(track);
        const double start = sink.secondsAt(sounds[track].firstFrame);
        const double end = sink.secondsAt(sounds[track].lastFrame + 1);
        EXPECT_GT(start + 0.010, records[track]) << "sound before the recorder records";
        EXPECT_LT(end, stops[track]) << "the recorder stopped before the sound ended";
        EXPECT_NEAR(end - start, 3.0, 0.05) << "the whole file";
    }
    click("btnCheckTracks");
    EXPECT_TRUE(label("lblTrackInfo").startsWith("8 Tracks ")) << label("lblTrackInfo").toStdString();
}

enum class Outcome {
    skipped,  // refused or failed, and named in the message at the end of the run
    recorded, // a titled track on the disc
    either,   // a decoder may make sound of what is there, or refuse it: both are fine
};

struct HostileFile {
    QString name;
    Outcome outcome;
    QByteArray contents{};
    QString path{};
};

TEST_F(RecordingTest, BrokenFilesArePreviewedAndRecordedOrSkippedNamingEachOne) {
    const QTemporaryDir folder;
    // A chunk whose size brings the reader back to its own start when added in 32 bits.
    const QByteArray looping = "junk" + littleEndian32(0xFFFFFFF8U);
    std::vector<HostileFile> files{
        {"zero bytes.mp3", Outcome::skipped},
        {"127 bytes.mp3", Outcome::skipped, noise(127, 1)},
        {"random.mp3", Outcome::skipped, noise(8192, 2)},
        {"random.wav", Outcome::skipped, noise(8192, 3)},
        {"random.wma", Outcome::skipped, noise(8192, 4)},
        {"folder.mp3", Outcome::skipped},
        {"pipe.wav", Outcome::skipped},
        {"deleted.wav", Outcome::skipped, wav()},
        {"unreadable.wav", Outcome::skipped, wav()},
        {"size larger than the file.wav", Outcome::either, wav(0x7FFFFFF0U)},
        {"size zero.wav", Outcome::either, wav(0U)},
        {"looping chunk.wav", Outcome::either, wav({}, looping)},
        {"cut mid-frame.mp3", Outcome::either, fixture("sine.mp3").first(9000)},
        {"it's \"quoted\" with spaces.wav", Outcome::recorded, wav()},
        {"new\nline.wav", Outcome::recorded, wav()},
        {QString(240, QLatin1Char('L')) + QStringLiteral("_long name.wav"), Outcome::recorded, wav()},
    };
    for (HostileFile& file : files) {
        file.path = folder.filePath(file.name);
        if (file.name == QLatin1String("folder.mp3")) {
            ASSERT_TRUE(QDir().mkdir(file.path));
        } else if (file.name == QLatin1String("pipe.wav")) {
            ASSERT_EQ(mkfifo(QFile::encodeName(file.path).constData(), 0600), 0);
        } else {
            ASSERT_TRUE(write(file.path, file.contents));
        }
    }
    // A name that is not UTF-8, as another system may have written it. Qt does not list such names, so the
    // browser passes over it and it never reaches the track list; nor can Qt remove it with the folder.
    const QByteArray latin1Name = QFile::encodeName(folder.path()) + "/caf\xE9_latin1.wav";
    ASSERT_TRUE(std::ofstream(latin1Name.constData()).good());
    const std::unique_ptr<const char, void (*)(const char*)> removeLatin1(
        latin1Name.constData(), [](const char* name) { std::remove(name); });

    connectRecorder({});
    for (const HostileFile& file : files) {
        trackList()->addItem(file.path);
    }
    control<DirListBox>("DirList")->setPath(folder.path());
    auto* browser = control<FileListBox>("FileList");
    EXPECT_TRUE(browser->findItems(QStringLiteral("latin1"), Qt::MatchContains).isEmpty());
    EXPECT_FALSE(browser->findItems(QStringLiteral("random.wma"), Qt::MatchExactly).isEmpty());
    ASSERT_TRUE(QFile::remove(folder.filePath("deleted.wav")));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("unreadable.wav"), {}));

    // Preview each entry: a file that cannot be played is reported, naming it.
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        trackList()->setCurrentRow(static_cast<int>(&file - files.data()));
        window->ListOfMusic_DblClick();
        const bool named = QTest::qWaitFor(
            [&] {
                return std::any_of(answers.texts().begin(), answers.texts().end(),
                                   [&file](const QString& text) { return text.contains(file.path); });
            },
            1500);
        if (file.outcome != Outcome::either) {
            EXPECT_EQ(named, file.outcome == Outcome::skipped) << answers.texts().join('\n').toStdString();
        }
    }
    const qsizetype previewBoxes = answers.texts().size();

    EXPECT_LT(record(), 60.0);

    ASSERT_EQ(answers.texts().size(), previewBoxes + 1) << "one list of the files not recorded";
    const QString skipped = answers.texts().back();
    const QStringList heard = meanings(*recorder);
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        // The title frame carries the file-name title without its outer spaces.
        const QString title = QStringLiteral("\"%1\"").arg(titleFromFileName(file.path).trimmed());
        const bool listed = skipped.contains(file.path + QStringLiteral(": "));
        const bool titled = std::any_of(heard.begin(), heard.end(), [&title](const QString& meaning) {
            // A title with a line break is logged over two lines, so the meaning is looked for, not parsed.
            return meaning.contains(QLatin1String("title track")) && meaning.endsWith(title);
        });
        EXPECT_NE(listed, titled) << "recorded or skipped, never both or neither";
        if (file.outcome != Outcome::either) {
            EXPECT_EQ(listed, file.outcome == Outcome::skipped) << skipped.toStdString();
        }
    }
    EXPECT_FALSE(window->isRecording());
}

// A recorder that vanishes mid-run ends the run, said once; plugged in again it is found on the same port.
// A press of Record while Check disc waits starts nothing; a lost record acknowledgement stops the
// recorder before the error is shown.
TEST_F(RecordingTest, ALostRecorderOrAcknowledgementEndsTheRunWithTheError) {
    const QString notAble = "Not able to record - check recorder connections - is optical cable connected?";
    connectRecorder({});
    trackList()->addItems({fixtures + "/sine.wav", fixtures + "/sine.wav", fixtures + "/sine.wav"});
    // In the middle of the first track: 2 s for the disc request, then the file plays for 3 s.
    QTimer::singleShot(3500, recorder.get(), [this] { recorder->hangUp(); });

    EXPECT_LT(record(), 30.0);

    EXPECT_FALSE(window->isRecording());
    const QStringList said = answers.texts();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.front().startsWith("The connection to the recorder was lost"))
        << said.join('\n').toStdString();
    EXPECT_EQ(said.filter(QStringLiteral("The connection to the recorder was lost")).size(), 1)
        << "said once";
    EXPECT_EQ(said.back(), notAble);

    // The cable is plugged in again (a new device) to a recorder that answers late and never acknowledges
    // record, and Com1 is chosen again.
    deck::VirtualDeck pluggedIn(
        {.tracks = 4},
        {.answerOnly = std::set{deck::Answer::stop, deck::Answer::discInformation}, .lateBy = 1500ms});
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), pluggedIn.devicePath());
    const qsizetype boxes = answers.texts().size();
    click("optCom1");
    QTimer::singleShot(500, window.get(), [this] { record(); });
    click("btnCheckTracks");
    EXPECT_EQ(answers.texts().size(), boxes) << "the port opens without a message";
    EXPECT_EQ(meanings(pluggedIn), QStringList({"disc information request"})) << "Record started nothing";
    EXPECT_EQ(label("lblTrackInfo"), "4 Tracks 00m 00s");

    EXPECT_GE(record(), 2 + 3.9) << "2 s after the request, then 40 Ticks for the acknowledgement";

    EXPECT_EQ(meanings(pluggedIn), QStringList({"disc information request", "disc information request",
                                                "record", "play", "stop"}));
    ASSERT_EQ(answers.texts().size(), boxes + 1) << "the error, and no notice after it";
    EXPECT_EQ(answers.texts().back(), notAble);
    EXPECT_EQ(label("statusLine"), "Recording sine");
}

// The recorder armed for a track is stopped at its end even when "Insert pauses" was ticked meanwhile;
// pause mode takes over from the next file: titles only, and 4 s of silence after each file.
TEST_F(RecordingTest, PauseModeTickedMidTrackStillStopsTheArmedRecorder) {
    connectRecorder({.tracks = 5});
    trackList()->addItems({fixtures + "/sine.wav", fixtures + "/sine.wma"});
    QTimer::singleShot(3500, window.get(),
                       [this] { control<QCheckBox>("chkInsertPauses")->setChecked(true); });

    EXPECT_GE(record(), 2 + 2 * (3 + 3.9));

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop",
                           R"(title track 7 "sine")"}));
    EXPECT_EQ(label("statusLine"), "Pausing...");
    ASSERT_EQ(answers.texts().size(), 2) << "the notice on ticking and once at the end";
    EXPECT_TRUE(answers.texts()[1].startsWith("Checking this box disables"));
}

} // namespace
} // namespace quorvex::testing
