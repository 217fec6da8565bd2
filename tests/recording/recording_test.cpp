// Whole recording runs for real: the window offscreen, QSerialPort on the virtual recorder's pseudo-terminal,
// libmpv playing into the private PulseAudio null sink (scripts/sound-sink.sh), in real time. Broken and
// hostile input too: files that are not what their names say, names no one would type, a recorder that
// loses an answer or vanishes mid-run. Nothing may crash or hang; every file ends as a titled track on the
// disc, or named in the message at the end of the run.
#include "integration/realwindow.h"
#include "run/discrecords.h"
#include "sinkrecorder.h"
#include "tracks/titlerules.h"
#include "widgets/dirlistbox.h"
#include "widgets/filelistbox.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTimer>
#include <QToolButton>
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

// When the recorder took in each of its commands, by meaning, on the clock the sink's times are on.
using HeardAt = std::map<QString, std::vector<double>>;
void noteWhenHeard(const deck::VirtualDeck& recorder, const QElapsedTimer& clock, HeardAt& heardAt) {
    QObject::connect(&recorder, &deck::VirtualDeck::frameReceived, [&clock, &heardAt](const QString& line) {
        heardAt[line.section(QStringLiteral("  "), -1)].push_back(static_cast<double>(clock.nsecsElapsed()) /
                                                                  1e9);
    });
}

using RecordingTest = RealWindowTest;

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
    // Today's taggers: an MP3 with only an ID3v2 tag, FLAC, M4A and Opus, one second each.
    trackList()->append(QStringList{fixtures + "/sine.mp3", broken[0], fixtures + "/sine.wav", broken[1],
                                    broken[2], fixtures + "/sine.wma", fixtures + "/id3v2.mp3",
                                    fixtures + "/title.flac", fixtures + "/title.m4a",
                                    fixtures + "/title.opus"});
    // When the recorder took in each of its commands, by meaning, and what reached the sink, on one clock.
    // The record acknowledgement leaves as the command is read.
    QElapsedTimer clock;
    clock.start();
    HeardAt heardAt;
    noteWhenHeard(*recorder, clock, heardAt);
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();

    record();
    sink.stop();

    ASSERT_EQ(meanings(*recorder), QStringList({"disc information request",
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
                                                "stop",
                                                "record",
                                                "play",
                                                R"(title track 9 "Second Life")",
                                                "stop",
                                                "record",
                                                "play",
                                                R"(title track 10 "Flac Title")",
                                                "stop",
                                                "record",
                                                "play",
                                                R"(title track 11 "M4A Title")",
                                                "stop",
                                                "record",
                                                "play",
                                                R"(title track 12 "Opus Title")",
                                                "stop",
                                                "disc information request"}));
    ASSERT_EQ(answers.texts().size(), 1);
    for (const QString& file : broken) {
        EXPECT_TRUE(answers.texts()[0].contains('\n' + file + ": ")) << answers.texts()[0].toStdString();
    }
    EXPECT_TRUE(label("statusLine").startsWith("The disc holds what was recorded: 12 tracks, "))
        << "the disc read back after the run: " << label("statusLine").toStdString();
    EXPECT_TRUE(label("lblTrackInfo").startsWith("12 Tracks ")) << label("lblTrackInfo").toStdString();
    // Each file's sound lies wholly between its record acknowledgement and its stop command: nothing of it is
    // lost off either end of the track. The sink's times come from parec, at most 10 ms early.
    const std::vector<test::SoundSpan> sounds = test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 20);
    const std::vector<double> seconds{3, 3, 3, 1, 1, 1, 1};
    ASSERT_EQ(sounds.size(), seconds.size()) << "records and stops, one each, are in the meanings above";
    for (std::size_t track = 0; track < sounds.size(); ++track) {
        SCOPED_TRACE(track);
        const double start = sink.secondsAt(sounds[track].firstFrame);
        const double end = sink.secondsAt(sounds[track].lastFrame + 1);
        EXPECT_GT(start + 0.010, heardAt["record"][track]) << "sound before the recorder records";
        EXPECT_LT(end, heardAt["stop"][track]) << "the recorder stopped before the sound ended";
        EXPECT_NEAR(end - start, seconds[track], 0.05) << "the whole file";
    }
}

// A sine of `seconds` at `rate` as a 16-bit stereo WAV, its peak `level` of full scale.
QByteArray toneWav(quint32 rate, double level, double seconds) {
    const auto frames = static_cast<quint32>(rate * seconds);
    QByteArray sound;
    for (quint32 frame = 0; frame < frames; ++frame) {
        QByteArray bytes(2, '\0');
        qToLittleEndian(
            static_cast<qint16>(std::lround(level * 32767 * std::sin(frame * 2 * M_PI * 440 / rate))),
            bytes.data());
        sound += bytes + bytes;
    }
    QByteArray header = wavHeader;
    header.replace(24, 4, littleEndian32(rate)).replace(28, 4, littleEndian32(rate * 4));
    return header.replace(40, 4, littleEndian32(sound.size()))
               .replace(4, 4, littleEndian32(sound.size() + 36)) +
           sound;
}

// A run plays at the program's level whatever a preview left the listener's at: started with the bar muted
// and turned down, it records the tone at -6 dB. The bar's volume and mute and the Level menu cannot be
// touched during the run; the volume and mute are the listener's again, as they were, after it.
TEST_F(RecordingTest, ARunStartedMutedRecordsAtTheProgramsLevel) {
    connectRecorder({.tracks = 0});
    trackList()->append({fixtures + "/title.flac"});
    auto* const volume = window->findChild<QSlider*>("volumeSlider");
    auto* const mute = window->findChild<QToolButton*>("muteButton");
    volume->setValue(30);
    QTest::mouseClick(mute, Qt::LeftButton);
    bool heldDuringRun = false;
    QObject::connect(recorder.get(), &deck::VirtualDeck::frameReceived, [&](const QString& line) {
        if (line.endsWith(QLatin1String("  play"))) {
            heldDuringRun = !volume->isEnabled() && !mute->isEnabled() &&
                            !window->findChild<QMenu*>("menuLevel")->isEnabled();
        }
    });
    QElapsedTimer clock;
    clock.start();
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();
    record();
    sink.stop();

    const QByteArray tone = fixture("sine.wav"); // the same tone as the FLAC's
    const double atMinus6 =
        test::peak(QByteArrayView(tone).sliced(tone.indexOf("data") + 8)) * std::pow(10, -0.3);
    EXPECT_NEAR(test::peak(sink.pcm()), atMinus6, atMinus6 * 0.02);
    EXPECT_TRUE(heldDuringRun);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mute->isChecked() && volume->value() == 30; }))
        << mute->isChecked() << " " << volume->value();
    EXPECT_TRUE(volume->isEnabled() && mute->isEnabled());
}

// Gapless: three files, the second quieter and at 48 kHz, go onto the disc as one take of three tracks. The
// sound never stops between them, each track mark reaches the recorder as the next file's first sample
// reaches the sink, and the stop comes after the last sample. In a second take the middle file is deleted
// once the take has started: it costs no track, and the file before it, whose end the player then drops,
// is named with it.
TEST_F(RecordingTest, AGaplessTakeMarksEachTrackWhereItsSoundBeginsWithNoSilenceBetween) {
    connectRecorder({.tracks = 2});
    const QTemporaryDir folder;
    const std::vector<std::pair<quint32, double>> tones{{44100, 0.8}, {48000, 0.2}, {44100, 0.8}};
    for (const auto& [rate, level] : tones) {
        const QString file =
            folder.filePath(QStringLiteral("%1 %2.wav").arg(trackList()->count() + 1).arg(rate));
        ASSERT_TRUE(write(file, toneWav(rate, level, 1.0)));
        trackList()->append({file});
    }
    window->findChild<QAction*>("actionGapless")->trigger();
    QElapsedTimer clock;
    clock.start();
    HeardAt heardAt;
    noteWhenHeard(*recorder, clock, heardAt);
    test::SinkRecorder sink(clock);
    ASSERT_TRUE(sink.start()) << sink.errors();

    record();
    sink.stop();

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 3 "1 44100")",
                           "record: track mark", R"(title track 4 "2 48000")", "record: track mark",
                           R"(title track 5 "3 44100")", "stop", "disc information request"}));
    EXPECT_EQ(recorder->disc().tracks, 5);
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('\n').toStdString();
    // One stretch of sound, with no silence of 5 ms in it, holding all three seconds.
    const std::vector<test::SoundSpan> take = test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 200);
    ASSERT_EQ(take.size(), 1U);
    EXPECT_NEAR(sink.secondsAt(take[0].lastFrame + 1) - sink.secondsAt(take[0].firstFrame), 3.0, 0.02);
    EXPECT_LT(sink.secondsAt(take[0].lastFrame + 1), heardAt["stop"].at(0))
        << "stopped before the sound ended";
    // The loud files at -6 dB peak near 0.4 of full scale, the quiet one near 0.1: the boundaries are where
    // the loud stretches end and begin (within a half wave of 440 Hz). The sink's times are at most 10 ms
    // early.
    const std::vector<test::SoundSpan> loud =
        test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 200, 8000);
    ASSERT_EQ(loud.size(), 2U);
    const std::vector<double> boundaries{sink.secondsAt(loud[0].lastFrame + 1),
                                         sink.secondsAt(loud[1].firstFrame)};
    ASSERT_EQ(heardAt["record: track mark"].size(), 2U);
    for (std::size_t mark = 0; mark < boundaries.size(); ++mark) {
        EXPECT_NEAR(heardAt["record: track mark"][mark], boundaries[mark], 0.03) << "mark " << mark + 1;
    }

    // Again, all of it.
    QObject::connect(recorder.get(), &deck::VirtualDeck::frameReceived, [this](const QString& line) {
        if (line.endsWith(QLatin1String("  play"))) {
            QFile::remove(trackList()->path(1));
        }
    });
    click("btnRecordList");
    EXPECT_EQ(meanings(*recorder).mid(10),
              QStringList({"disc information request", "record", "play", R"(title track 6 "1 44100")",
                           "record: track mark", R"(title track 7 "3 44100")", "stop",
                           "disc information request"}));
    ASSERT_EQ(answers.texts().size(), 2);
    EXPECT_EQ(answers.texts()[0], "All 3 entries are recorded.") << "Record all again is the default";
    EXPECT_TRUE(answers.texts()[1].endsWith("Continue records its file again as a new track."))
        << answers.texts()[1].toStdString();
    EXPECT_EQ(answers.texts()[1].count(QStringLiteral(".wav: ")), 2) << answers.texts()[1].toStdString();
    EXPECT_TRUE(trackList()->toolTip(0).startsWith(
        "<qt>cut short: its end was lost: the file after it could not be played at "));
    EXPECT_TRUE(trackList()->toolTip(1).contains("skipped: Cannot play"));
    EXPECT_TRUE(trackList()->toolTip(2).startsWith("<qt>recorded"));
}

// A cue sheet over one WAV of three seconds (loud, quiet, loud), added from the file list as its three
// tracks. Without Gapless each track is a record…stop cycle around exactly its second of the file; with
// Gapless it is one take with no silence, each track mark reaching the recorder within 30 ms of its INDEX 01
// being heard.
TEST_F(RecordingTest, ACueSheetIsRecordedTrackByTrackOrAsOneTakeMarkedAtEachIndex) {
    connectRecorder({.tracks = 2});
    const QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(fixtures + "/levels.flac", folder.filePath("album.flac")));
    ASSERT_TRUE(write(folder.filePath("album.cue"), "FILE album.flac WAVE\n"
                                                    "TRACK 01 AUDIO\nTITLE Loud\nINDEX 01 00:00:00\n"
                                                    "TRACK 02 AUDIO\nTITLE Quiet\nINDEX 01 00:01:00\n"
                                                    "TRACK 03 AUDIO\nINDEX 01 00:02:00\n"));
    control<DirListBox>("DirList")->setPath(folder.path());
    const QList<QListWidgetItem*> sheet =
        control<FileListBox>("FileList")->findItems("album.cue", Qt::MatchExactly);
    ASSERT_EQ(sheet.size(), 1);
    control<FileListBox>("FileList")->setCurrentItem(sheet.front());
    window->FileList_DblClick();
    ASSERT_TRUE(QTest::qWaitFor([this] { return trackList()->count() == 3; }));
    EXPECT_EQ(trackList()->text(1), folder.filePath("album.flac #02 Quiet"));

    control<QLineEdit>("txtTitle")->setText("Live");
    ASSERT_TRUE(QTest::qWaitFor([this] {
        return meanings(*recorder).contains(QStringLiteral(R"(title track 0 "Live" (disc name))"));
    }));
    QElapsedTimer clock;
    clock.start();
    HeardAt heardAt;
    noteWhenHeard(*recorder, clock, heardAt);
    for (const bool gapless : {false, true}) {
        SCOPED_TRACE(gapless ? "gapless" : "track by track");
        heardAt.clear();
        const QStringList before = meanings(*recorder);
        window->findChild<QAction*>("actionGapless")->setChecked(gapless);
        test::SinkRecorder sink(clock);
        ASSERT_TRUE(sink.start()) << sink.errors();
        record();
        sink.stop();
        const int first = gapless ? 6 : 3;
        const QStringList titles{QStringLiteral(R"(title track %1 "Loud")").arg(first),
                                 QStringLiteral(R"(title track %1 "Quiet")").arg(first + 1),
                                 QStringLiteral(R"(title track %1 "Track 03")").arg(first + 2)};
        EXPECT_EQ(meanings(*recorder).mid(before.size()),
                  gapless ? QStringList({"disc information request", "record", "play", titles[0],
                                         "record: track mark", titles[1], "record: track mark", titles[2],
                                         "stop", "disc information request"})
                          : QStringList({"disc information request", "record", "play", titles[0], "stop",
                                         "record", "play", titles[1], "stop", "record", "play", titles[2],
                                         "stop", "disc information request"}));
        EXPECT_EQ(answers.texts(), gapless ? QStringList{"All 3 entries are recorded."} : QStringList())
            << "Continue asks, and recording all again is its default";
        const std::vector<test::SoundSpan> sounds =
            test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 200);
        ASSERT_EQ(sounds.size(), gapless ? 1U : 3U);
        for (std::size_t track = 0; track < sounds.size(); ++track) {
            const double start = sink.secondsAt(sounds[track].firstFrame);
            const double end = sink.secondsAt(sounds[track].lastFrame + 1);
            EXPECT_NEAR(end - start, gapless ? 3.0 : 1.0, 0.02) << "the track's whole second, nothing more";
            EXPECT_GT(start + 0.010, heardAt["record"].at(track)) << "sound before the recorder records";
            EXPECT_LT(end, heardAt["stop"].at(track)) << "the recorder stopped before the sound ended";
        }
        if (gapless) {
            const std::vector<test::SoundSpan> loud =
                test::soundSpans(sink.pcm(), test::SinkRecorder::rate / 200, 8000);
            ASSERT_EQ(loud.size(), 2U);
            ASSERT_EQ(heardAt["record: track mark"].size(), 2U);
            EXPECT_NEAR(heardAt["record: track mark"][0], sink.secondsAt(loud[0].lastFrame + 1), 0.03);
            EXPECT_NEAR(heardAt["record: track mark"][1], sink.secondsAt(loud[1].firstFrame), 0.03);
        }
    }
    // Both runs in the record of the disc named in the Disc Name box: the second found the first's tracks.
    const std::vector<DiscRecords::Listed> records = DiscRecords().list();
    ASSERT_FALSE(records.empty());
    const DiscRecord& live = records.front().record.value();
    EXPECT_EQ(live.discName, "Live");
    ASSERT_EQ(live.runs.size(), 2U);
    QStringList made;
    for (const RecordedTrack& track : live.tracks()) {
        made.append(
            QStringLiteral("%1 %2 #%3").arg(track.number).arg(track.title).arg(track.source.cue->number));
    }
    EXPECT_EQ(made, QStringList({"3 Loud #1", "4 Quiet #2", "5 Track 03 #3", "6 Loud #1", "7 Quiet #2",
                                 "8 Track 03 #3"}));
}

// What `pactl` answers, its lines; the test fails when it fails.
QStringList pactl(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    EXPECT_TRUE(process.waitForFinished(5000) && process.exitCode() == 0)
        << arguments.join(' ').toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The frequency of the sound in a recording: its rises from below -1000 to above 1000 (left channel) per
// second, so that a resampler's ripple at a zero crossing is no rise of its own.
double frequency(const QByteArray& pcm) {
    constexpr qint16 swing = 1000;
    std::vector<qsizetype> rises;
    bool low = false;
    for (qsizetype frame = 0; frame < pcm.size() / test::SinkRecorder::bytesPerFrame; ++frame) {
        const auto left = qFromLittleEndian<qint16>(
            QByteArrayView(pcm).sliced(frame * test::SinkRecorder::bytesPerFrame).data());
        if (low && left > swing) {
            rises.push_back(frame);
        }
        low = left < -swing || (low && left <= swing);
    }
    return rises.size() < 2 ? 0
                            : static_cast<double>(rises.size() - 1) * test::SinkRecorder::rate /
                                  static_cast<double>(rises.back() - rises.front());
}

// Disc ▸ Sound output on a second null sink running at 48 kHz, as an optical adapter would: a 48 kHz file
// previewed there reaches that sink and not the default one, as a 44.1 kHz stream with Send 44.1 kHz (its
// tone still 440 Hz) and as a 48 kHz stream without. Unplugged, the output is shown as not connected and
// Record refuses to start, sending no record frame.
TEST_F(RecordingTest, TheChosenOutputHearsThePreviewAs44kHzAndAnUnpluggedOneStopsTheRun) {
    const QString optical = QStringLiteral("quorvex_optical");
    const QStringList loaded = pactl({"load-module", "module-null-sink", "sink_name=" + optical, "rate=48000",
                                      "sink_properties=device.description=Optical"});
    ASSERT_EQ(loaded.size(), 1);
    std::optional<QString> module = loaded[0];
    const std::unique_ptr<std::optional<QString>, void (*)(std::optional<QString>*)> unload(
        &module, [](std::optional<QString>* left) {
            if (*left) {
                pactl({"unload-module", **left});
            }
        });
    connectRecorder({});
    const QTemporaryDir folder;
    const QString file = folder.filePath("tone 48k.wav");
    ASSERT_TRUE(write(file, toneWav(48000, 0.8, 2.0)));
    trackList()->append({file});
    trackView()->setCurrentRow(0);
    auto* menu = window->findChild<QMenu*>("menuSoundOutput");
    const auto entry = [menu](const QString& text) -> QAction* {
        emit menu->aboutToShow();
        const QList<QAction*> entries = menu->actions();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&text](const QAction* shown) { return shown->text() == text; });
        return found == entries.end() ? nullptr : *found;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return entry("Optical") != nullptr; }, 5000));
    entry("Optical")->trigger();

    auto* send44k = window->findChild<QAction*>("actionSend44k");
    for (const bool resampled : {true, false}) {
        SCOPED_TRACE(resampled);
        if (send44k->isChecked() != resampled) {
            send44k->trigger();
        }
        QElapsedTimer clock;
        clock.start();
        test::SinkRecorder chosen(clock, 10, optical);
        test::SinkRecorder standard(clock);
        ASSERT_TRUE(chosen.start() && standard.start());
        window->ListOfMusic_DblClick();
        QTest::qWait(1000);
        // index, sink, client, driver, sample format
        const QStringList streams = pactl({"list", "short", "sink-inputs"});
        const QStringList sinks = pactl({"list", "short", "sinks"});
        ASSERT_EQ(streams.size(), 1) << streams.join('\n').toStdString();
        const QString sink = streams[0].section('\t', 1, 1);
        EXPECT_TRUE(std::any_of(sinks.begin(), sinks.end(), [&](const QString& line) {
            return line.section('\t', 0, 0) == sink && line.section('\t', 1, 1) == optical;
        }));
        EXPECT_TRUE(streams[0].endsWith(resampled ? "s16le 2ch 44100Hz" : "48000Hz"))
            << streams[0].toStdString();
        QTest::qWait(1500);
        chosen.stop();
        standard.stop();
        EXPECT_EQ(test::peak(standard.pcm()), 0) << "nothing on the default output";
        EXPECT_NEAR(frequency(chosen.pcm()), 440, 1)
            << "not 479 Hz, as a stream said to be 44.1 kHz would be";
    }

    pactl({"unload-module", *module});
    module.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return entry("Optical (not connected)") != nullptr; }, 5000));
    EXPECT_TRUE(entry("Optical (not connected)")->isChecked());
    click("btnRecordList");
    EXPECT_EQ(answers.texts(),
              QStringList{"The sound output \"Optical\" is not connected. Connect it or choose "
                          "another in Disc ▸ Sound output."});
    EXPECT_TRUE(meanings(*recorder).isEmpty());
}

// skipped: refused or failed, and named in the message at the end of the run; recorded: a titled track on
// the disc; either: a decoder may make sound of what is there, or refuse it, and both are fine.
enum class Outcome { skipped, recorded, either };

struct HostileFile {
    QString name;
    Outcome outcome;
    QByteArray contents{};
    QString path{};
};

TEST_F(RecordingTest, BrokenFilesArePreviewedAndRecordedOrSkippedNamingEachOne) {
    const QTemporaryDir folder;
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
        // A chunk whose size brings the reader back to its own start when added in 32 bits.
        {"looping chunk.wav", Outcome::either, wav({}, "junk" + littleEndian32(0xFFFFFFF8U))},
        {"cut mid-frame.mp3", Outcome::either, fixture("sine.mp3").first(9000)},
        // Tags that lie: an ID3v2 tag claiming 256 MiB, a title frame in an encoding that does not exist, a
        // FLAC cut inside its tags; a folder and a pipe named like the new formats.
        {"huge tag.mp3", Outcome::either,
         QByteArray("ID3\x04\0\0\x7F\x7F\x7F\x7F", 10) + fixture("untagged.mp3")},
        {"bad encoding.mp3", Outcome::either,
         QByteArray("ID3\x04\0\0\0\0\0\x0DTIT2\0\0\0\x03\0\0\x09Hi", 23) + fixture("untagged.mp3")},
        {"cut tags.flac", Outcome::skipped, fixture("title.flac").first(200)},
        {"folder.opus", Outcome::skipped},
        {"pipe.m4a", Outcome::skipped},
        {"it's \"quoted\" with spaces.wav", Outcome::recorded, wav()},
        {"new\nline.wav", Outcome::recorded, wav()},
        {QString(240, QLatin1Char('L')) + QStringLiteral("_long name.wav"), Outcome::recorded, wav()},
    };
    connectRecorder({});
    for (HostileFile& file : files) {
        file.path = folder.filePath(file.name);
        trackList()->append({file.path});
        if (file.name.startsWith(QLatin1String("folder."))) {
            ASSERT_TRUE(QDir().mkdir(file.path));
        } else if (file.name.startsWith(QLatin1String("pipe."))) {
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

    control<DirListBox>("DirList")->setPath(folder.path());
    auto* browser = control<FileListBox>("FileList");
    EXPECT_TRUE(browser->findItems(QStringLiteral("latin1"), Qt::MatchContains).isEmpty());
    EXPECT_FALSE(browser->findItems(QStringLiteral("random.wma"), Qt::MatchExactly).isEmpty());
    ASSERT_TRUE(QFile::remove(folder.filePath("deleted.wav")));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("unreadable.wav"), {}));

    // Preview each entry: a file that cannot be played is reported, naming it.
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        trackView()->setCurrentRow(static_cast<int>(&file - files.data()));
        window->ListOfMusic_DblClick();
        const bool named =
            QTest::qWaitFor([&] { return answers.texts().join(QChar::Null).contains(file.path); }, 1500);
        if (file.outcome != Outcome::either) {
            EXPECT_EQ(named, file.outcome == Outcome::skipped) << answers.texts().join('\n').toStdString();
        }
    }
    const qsizetype previewBoxes = answers.texts().size();

    EXPECT_LT(record(), 60.0);

    ASSERT_EQ(answers.texts().size(), previewBoxes + 1) << "one list of the files not recorded";
    const QString skipped = answers.texts().back();
    // A title with a line break is logged over two lines, so a title meaning is looked for, not parsed.
    const QString heard = meanings(*recorder).join('\n') + '\n';
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        // The title frame carries the file-name title without its outer spaces.
        const bool titled =
            heard.contains(QStringLiteral(" \"%1\"\n").arg(titleFromFileName(file.path).trimmed()));
        const bool listed = skipped.contains(file.path + QStringLiteral(": "));
        EXPECT_NE(listed, titled) << "recorded or skipped, never both or neither";
        if (file.outcome != Outcome::either) {
            EXPECT_EQ(listed, file.outcome == Outcome::skipped) << skipped.toStdString();
        }
    }
}

// A recorder that vanishes mid-run ends the run, said once; plugged in again it is found on the same port.
// A press of Record while Check disc waits starts nothing; a lost record acknowledgement stops the
// recorder before the error is shown.
TEST_F(RecordingTest, ALostRecorderOrAcknowledgementEndsTheRunWithTheError) {
    const QString notAble = "Not able to record - check recorder connections - is optical cable connected?";
    connectRecorder({});
    trackList()->append(QStringList{fixtures + "/sine.wav", fixtures + "/sine.wav", fixtures + "/sine.wav"});
    // In the middle of the first track: 2 s for the disc request, then the file plays for 3 s.
    QTimer::singleShot(3500, recorder.get(), [this] { recorder->hangUp(); });

    EXPECT_LT(record(), 30.0);

    EXPECT_FALSE(window->isRecording());
    ASSERT_EQ(answers.texts().size(), 2) << "said once, then the error";
    EXPECT_TRUE(answers.texts()[0].startsWith("The connection to the recorder was lost"));
    EXPECT_EQ(answers.texts()[1], notAble);

    // The cable is plugged in again (a new device) to a recorder that never acknowledges record and answers
    // late, in pieces, behind a flood of 1,000 bytes of noise (no end byte among them) that arrives in one
    // Tick and ends in what looks like the start of an answer, and with a status frame right behind it in
    // the same read; Com1 is chosen again. (How the reply watcher reads noise byte by byte is waits_test's.)
    deck::VirtualDeck pluggedIn({.tracks = 12, .minutes = 45, .seconds = 7},
                                {.answerOnly = std::set{deck::Answer::stop, deck::Answer::discInformation},
                                 .lateBy = 1500ms,
                                 .splitInto = 4,
                                 .splitGap = 120ms,
                                 .noiseBefore = noise(1000, 7) + QByteArray::fromHex("FF 20 60 81 00 FF"),
                                 .noiseAfter = QByteArray::fromHex("81 05 05 47 FF")});
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), pluggedIn.devicePath());
    click("optCom1");
    // Afresh, whether the first entry had become a track before the cable went or not.
    trackList()->clear();
    trackList()->append(QStringList{fixtures + "/sine.wav", fixtures + "/sine.wav", fixtures + "/sine.wav"});
    QTimer::singleShot(500, window.get(), [this] { record(); });
    QElapsedTimer clock;
    clock.start();
    click("btnCheckTracks");
    EXPECT_LT(clock.elapsed(), 3500) << "an answer ends the wait early";
    EXPECT_EQ(answers.texts().size(), 2) << "the port opens without a message";
    EXPECT_EQ(meanings(pluggedIn), QStringList({"disc information request"})) << "Record started nothing";
    EXPECT_EQ(label("lblTrackInfo"), "12 Tracks 45m 07s");

    EXPECT_GE(record(), 2 + 3.9) << "2 s after the request, then 40 Ticks for the acknowledgement";

    EXPECT_EQ(meanings(pluggedIn), QStringList({"disc information request", "disc information request",
                                                "record", "play", "stop"}));
    ASSERT_EQ(answers.texts().size(), 3) << "the error, and no notice after it";
    EXPECT_EQ(answers.texts().back(), notAble);
    EXPECT_EQ(label("statusLine"), "Recording sine");
    EXPECT_EQ(trackList()->toolTip(0).section("<br>", 0, 0),
              "<qt>skipped: the recorder did not acknowledge recording");
    EXPECT_EQ(trackList()->toolTip(1), "<qt>Length: 0:03</qt>");
}

// The recorder armed for a track is stopped at its end even when "Insert pauses" was ticked meanwhile;
// pause mode takes over from the next file: titles only, and 4 s of silence after each file.
TEST_F(RecordingTest, PauseModeTickedMidTrackStillStopsTheArmedRecorder) {
    connectRecorder({.tracks = 5});
    trackList()->append(QStringList{fixtures + "/sine.wav", fixtures + "/sine.wma"});
    QTimer::singleShot(3500, window.get(),
                       [this] { control<QCheckBox>("chkInsertPauses")->setChecked(true); });

    EXPECT_GE(record(), 2 + 2 * (3 + 3.9));

    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "record", "play", R"(title track 6 "sine")", "stop",
                           R"(title track 7 "sine")"}));
    EXPECT_EQ(label("statusLine"), "The disc was not checked (pause mode).");
    ASSERT_EQ(answers.texts().size(), 2) << "the notice on ticking and once at the end";
    EXPECT_TRUE(answers.texts()[1].startsWith("Checking this box disables"));
}

// A disc with 2 s free refuses a 3 s file until the user says so (Enter takes Cancel); on an 80-minute disc
// it records, and Stop recording a second into its sound stops the recorder and ends the run there.
TEST_F(RecordingTest, AListTooLongIsCancelledAndStopRecordingEndsTheRunMidTrack) {
    connectRecorder({.tracks = 5, .minutes = 73, .seconds = 58});
    trackList()->append(QStringList{fixtures + "/sine.wav", fixtures + "/sine.wav"});
    EXPECT_TRUE(QTest::qWaitFor([this] { return label("listSummary") == "2 tracks, 00:06"; }, 5000))
        << label("listSummary").toStdString();
    EXPECT_LT(record(), 2.5);
    EXPECT_EQ(answers.texts(), QStringList{"The list needs 00:06 but the disc has 00:02 free."});

    window->findChild<QAction*>("actionDisc80")->trigger();
    QTimer::singleShot(3000, window.get(), [this] {
        EXPECT_EQ(control("btnRecordList")->text(), "Stop");
        click("btnRecordList");
    });
    EXPECT_LT(record(), 3.5);
    EXPECT_EQ(meanings(*recorder),
              QStringList({"disc information request", "disc information request", "record", "play",
                           R"(title track 6 "sine")", "stop", "disc information request"}));
    EXPECT_EQ(recorder->disc().tracks, 6);
    EXPECT_EQ(control("btnRecordList")->text(), "Record");
    EXPECT_EQ(trackList()->toolTip(0), "<qt>cut off by Stop recording<br>Length: 0:03</qt>");
    EXPECT_EQ(answers.texts().size(), 1) << "no box after a stop";
}

} // namespace
} // namespace quorvex::testing
