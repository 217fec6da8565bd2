// The media player for real: libmpv playing the build's sound files into the private PulseAudio null sink
// (scripts/sound-sink.sh), its control bar shown offscreen, what reaches the sink recorded from its monitor.
#include "platform/mpvmediaplayer.h"
#include "sinkrecorder.h"
#include "support/soundoutput.h"
#include "tracks/trackinfo.h"
#include "widgets/mediaplayerbar.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <optional>
#include <QFile>
#include <QLabel>
#include <QRegion>
#include <QSlider>
#include <QtEndian>
#include <QTest>
#include <QToolButton>
#include <span>
#include <string>
#include <vector>

namespace quorvex::test {
namespace {

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES "/");

// Every play state a player took, with the time it took it, and every failure it told.
class StateLog final : public QObject {
public:
    explicit StateLog(const MediaPlayer& player) {
        clock.start();
        connect(&player, &MediaPlayer::stateChanged, this, [this, &player] {
            if (const int state = player.playState(); state != states.back().second) {
                states.emplace_back(now(), state);
            }
        });
        connect(&player, &MediaPlayer::failed, this,
                [this](const QString&, const QString& message) { failures.append(message); });
        connect(&player, &MediaPlayer::outputFailed, this,
                [this](const QString&, const QString& reason) { outputFailures.append(reason); });
        connect(&player, &MediaPlayer::playingSilently, this, [this] { ++silentTold; });
    }

    [[nodiscard]] double now() const { return static_cast<double>(clock.nsecsElapsed()) / 1e9; }
    // When, after `since`, the player first took `state`, or with `leaving`, first took another.
    [[nodiscard]] std::optional<double> first(int state, double since = 0, bool leaving = false) const {
        for (const auto& [seconds, taken] : states) {
            if (seconds > since && (taken == state) != leaving) {
                return seconds;
            }
        }
        return std::nullopt;
    }

    // The states taken after the first `from` and before the first `to` that follows it.
    [[nodiscard]] std::vector<int> between(int from, int to) const {
        std::vector<int> taken;
        const auto start =
            std::find_if(states.begin(), states.end(), [from](const auto& s) { return s.second == from; });
        for (auto state = start == states.end() ? start : std::next(start);
             state != states.end() && state->second != to; ++state) {
            taken.push_back(state->second);
        }
        return taken;
    }

    QElapsedTimer clock;
    QStringList failures;
    QStringList outputFailures;
    int silentTold = 0;

private:
    std::vector<std::pair<double, int>> states{{0.0, MediaPlayer::undefined}}; // seconds, state
};

bool waitForState(const MediaPlayer& player, int state, int milliseconds = 3000) {
    return QTest::qWaitFor([&] { return player.playState() == state; }, milliseconds);
}

// A player sending its sound to PulseAudio only (on a desktop with PipeWire, mpv's first choice would take
// it to the speakers instead of the private sink), its states logged, under its control bar.
class MediaTest : public ::testing::Test {
protected:
    // The bar's parts by name (the first test makes sure each is there).
    template <typename Widget> Widget* child(const char* name) const {
        return bar.findChild<Widget*>(QString::fromUtf8(name));
    }

    void click(const char* button) const { QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton); }

    // The tone's peak at the program's -6 dB.
    [[nodiscard]] static double toneAtProgramLevel() {
        QFile file(fixtures + "sine.wav");
        const QByteArray wav = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return peak(wav.mid(wav.indexOf("data") + 8)) * std::pow(10, -0.3);
    }

    // The largest sample that reaches the sink in the given time.
    [[nodiscard]] int peakAtTheSink(int milliseconds) const {
        SinkRecorder recorder(log.clock);
        EXPECT_TRUE(recorder.start()) << recorder.errors();
        QTest::qWait(milliseconds);
        recorder.stop();
        return peak(recorder.pcm());
    }

    MpvMediaPlayer player{nullptr, sinkSoundOutput()};
    MediaPlayerBar bar{player};
    const StateLog log{player};
};

// One play of the tone, recorded at the sink: the whole file, in one stretch of 3 s, while the player says
// "playing" (the timing that scripts/test checks on PulseAudio and on PipeWire).
TEST_F(MediaTest, TheSinkHearsTheWholeFileWhileThePlayerSaysPlaying) {
    SinkRecorder recorder(log.clock);
    ASSERT_TRUE(recorder.start()) << recorder.errors();
    player.open(fixtures + "sine.wav");
    ASSERT_TRUE(waitForState(player, MediaPlayer::mediaEnded, 6000));
    QTest::qWait(200);
    recorder.stop();
    const std::vector<SoundSpan> sound = soundSpans(recorder.pcm(), SinkRecorder::rate / 20);
    ASSERT_EQ(sound.size(), 1U) << "one stretch of sound, without a gap";
    const double soundStart = recorder.secondsAt(sound[0].firstFrame);
    const double soundEnd = recorder.secondsAt(sound[0].lastFrame + 1);
    // PulseAudio mixes one stream sample for sample. PipeWire, measured against the file: its graph at times
    // drops one buffer (256 to 576 frames) as a stream joins or after an overrun of the 10 ms recording, and
    // mpv's PipeWire output closes its stream with the last ~5 ms still queued; so there the span is the
    // file's within 30 ms (a tail cut by the player, 0.27 s, still shows).
    const bool pipeWire = qEnvironmentVariable("QUORVEX_SOUND_SERVER") == QLatin1String("pipewire");
    EXPECT_NEAR(soundEnd - soundStart, 3.0, pipeWire ? 0.03 : 0.01);
    // The recording's clock runs at most parec's latency (10 ms) late. The state says 2 only once the sound
    // is going out, so not before the first sample reaches the sink; it says so promptly, well within 50 ms.
    // It leaves 2 only after the last sample has reached the sink.
    const double playing = log.first(MediaPlayer::playing).value_or(-9);
    EXPECT_LE(soundStart, playing + 0.02);
    EXPECT_GE(soundStart, playing - 0.05);
    EXPECT_LE(soundEnd, log.first(MediaPlayer::playing, playing, true).value_or(-9) + 0.02);
    // Whatever the output does on the way (the core idle between decoding and the end, the output draining),
    // nothing between the first sound and the end reads as an end: a run would cut the track there.
    for (const int state : log.between(MediaPlayer::playing, MediaPlayer::mediaEnded)) {
        EXPECT_TRUE(state == MediaPlayer::playing || state == MediaPlayer::transitioning) << state;
    }
}

// The bar's parts, shown whole and none over another. The tone at exactly -6 dB (on PulseAudio, which mixes
// one stream without touching its samples). Through the bar, the listener's volume, the position
// the bar follows, pause, stop, mute and the seek bar; last, another file opened while the first plays on
// after the seek.
TEST_F(MediaTest, TheBarPlaysPausesStopsSetsTheLevelAndSeeks) {
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    EXPECT_EQ(bar.size(), QSize(241, 41));
    EXPECT_EQ(bar.minimumSize(), bar.maximumSize()) << "a fixed size";
    QRegion taken;
    for (const char* name :
         {"playButton", "stopButton", "seekBar", "volumeSlider", "muteButton", "timeLabel"}) {
        auto* const part = child<QWidget>(name);
        ASSERT_NE(part, nullptr) << name;
        const QRect place = part->geometry();
        EXPECT_TRUE(part->isVisible() && !place.isEmpty() && bar.rect().contains(place)) << name;
        EXPECT_FALSE(taken.intersects(place)) << name;
        taken += place;
    }
    auto* const time = child<QLabel>("timeLabel");
    EXPECT_EQ(time->text(), QStringLiteral("0:00 / 0:00"));
    EXPECT_GE(time->width(), time->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")));
    // The listener's level starts untouched, so the program's -6 dB is what plays.
    EXPECT_EQ(child<QSlider>("volumeSlider")->value(), 100);
    EXPECT_FALSE(child<QToolButton>("muteButton")->isChecked());
    EXPECT_FALSE(child<QToolButton>("playButton")->isEnabled()) << "nothing opened yet";

    const double programLevel = toneAtProgramLevel();
    player.open(fixtures + "sine.wav");
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing));
    const double since = log.now() - player.currentPosition();
    EXPECT_NEAR(peakAtTheSink(300), programLevel, programLevel * 0.02);
    // mpv's volume is cubic: half the slider is an eighth of the amplitude, on top of the -6 dB. What was
    // buffered at the old level plays out first.
    child<QSlider>("volumeSlider")->setValue(50);
    QTest::qWait(400);
    EXPECT_NEAR(peakAtTheSink(300), programLevel / 8, programLevel / 8 * 0.05);
    // The seek bar and the text follow the position: the player's own reporting (150 ms), then at most ten
    // updates a second.
    auto* const seekBar = child<QSlider>("seekBar");
    EXPECT_NEAR(player.currentPosition(), log.now() - since, 0.15);
    EXPECT_NEAR(seekBar->maximum(), 3000, 50);
    EXPECT_NEAR(seekBar->value(), player.currentPosition() * 1000, 250);

    // Pause holds the position; play resumes.
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::paused, 1000));
    QTest::qWait(100); // the position reached may still be on its way from libmpv
    const double held = player.currentPosition();
    QTest::qWait(400);
    EXPECT_NEAR(player.currentPosition(), held, 0.01);
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing, 1000));
    QTest::qWait(600);
    EXPECT_GT(player.currentPosition(), held + 0.4);
    EXPECT_NEAR(seekBar->value(), player.currentPosition() * 1000, 250);
    EXPECT_EQ(time->text(), QStringLiteral("0:01 / 0:03"));

    // Stop leaves playing at once and for good, and silences the sink well before the file would have ended.
    ASSERT_TRUE(child<QToolButton>("stopButton")->isEnabled());
    click("stopButton");
    const double stoppedAt = log.now();
    EXPECT_EQ(player.playState(), MediaPlayer::stopped);
    QTest::qWait(300); // what the sink had buffered plays out
    EXPECT_EQ(peakAtTheSink(500), 0);
    EXPECT_FALSE(log.first(MediaPlayer::stopped, stoppedAt, true));
    EXPECT_EQ(player.currentPosition(), 0.0);
    EXPECT_FALSE(child<QToolButton>("stopButton")->isEnabled());
    EXPECT_EQ(seekBar->value(), 0);

    // Play after a stop plays the file again from its start; mute silences it while it plays on, and the bar
    // shows the player muted.
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing));
    EXPECT_LT(player.currentPosition(), 0.3);
    click("muteButton");
    QTest::qWait(400);
    EXPECT_EQ(peakAtTheSink(300), 0);
    EXPECT_TRUE(child<QToolButton>("muteButton")->isChecked());
    EXPECT_EQ(player.playState(), MediaPlayer::playing);
    // The seek bar, dragged, seeks where it is let go and not before.
    seekBar->setSliderDown(true);
    seekBar->setSliderPosition(2500);
    QTest::qWait(300); // while held, the position does not pull the handle back
    EXPECT_EQ(seekBar->value(), 2500);
    EXPECT_LT(player.currentPosition(), 2.0);
    seekBar->setSliderDown(false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player.playState() == MediaPlayer::playing && player.currentPosition() >= 2.5; }, 1000));

    // Opening another file replaces the playing one at once; an MP3 cut short plays what it has (16000 bytes
    // of 128 kbit/s, about one second, more than the half second left of the first file) and ends, without a
    // failure.
    const double replacedAt = log.now();
    player.open(fixtures + "truncated.mp3");
    EXPECT_EQ(player.playState(), MediaPlayer::transitioning);
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing));
    EXPECT_LT(player.currentPosition(), 0.3);
    const double opened = log.first(MediaPlayer::playing, replacedAt).value_or(-9);
    ASSERT_TRUE(waitForState(player, MediaPlayer::mediaEnded));
    EXPECT_NEAR(log.first(MediaPlayer::playing, opened, true).value_or(0) - opened, 1.05, 0.25);
    EXPECT_TRUE(log.failures.isEmpty()) << log.failures.join('\n').toStdString();
}

// mpv's own choice of sound output plays (on a desktop perhaps to the speakers, so it is not recorded). What
// cannot play fails once, naming the file, or the sound output: an output that cannot be opened is told as
// such, in one line, so a run can stop at once; with the silent fallback (the demo) the file plays to nothing
// in real time instead, said once.
TEST(MediaPlayer, MpvsOwnOutputPlaysAndFilesWithoutSoundAndMissingSoundOutputsFail) {
    MpvMediaPlayer ownChoice;
    ownChoice.open(fixtures + "sine.wav");
    EXPECT_TRUE(waitForState(ownChoice, MediaPlayer::playing));
    ownChoice.stop();
    const char* const noServer = "unix:/nonexistent/quorvex/pulse/native";
    const struct {
        const char* file;
        const char* output;
        const char* server; // PulseAudio's address for the player, when not the private sink's
        bool silentFallback;
        const char* message; // the failure's start; "" an output failure; nullptr none: it plays silently
    } cases[] = {
        {"no-such-file.mp3", "pulse", nullptr, false, "Cannot play"},
        {"tagsonly.mp3", "pulse", nullptr, false, "Cannot play"}, // cut before its first frame of sound
        {"sine.wav", "no-such-output", nullptr, false, ""},
        {"sine.wav", "pulse", noServer, false, ""},
        {"sine.wav", "pulse", noServer, true, nullptr},
    };
    const QByteArray sinkServer = qgetenv("PULSE_SERVER");
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(std::string(row.file) + (row.silentFallback ? " with the fallback" : ""));
        qputenv("PULSE_SERVER", row.server != nullptr ? QByteArray(row.server) : sinkServer);
        MpvMediaPlayer failing(nullptr, QString::fromLatin1(row.output));
        failing.setSilentFallback(row.silentFallback);
        const StateLog told(failing);
        failing.open(fixtures + row.file);
        if (row.message == nullptr) {
            EXPECT_TRUE(waitForState(failing, MediaPlayer::mediaEnded, 6000));
            qputenv("PULSE_SERVER", sinkServer);
            EXPECT_GE(told.first(MediaPlayer::mediaEnded).value_or(0), 2.5) << "in real time";
            EXPECT_EQ(told.silentTold, 1);
            EXPECT_TRUE(told.failures.isEmpty() && told.outputFailures.isEmpty());
            continue;
        }
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !told.failures.isEmpty() || !told.outputFailures.isEmpty(); }, 3000));
        QTest::qWait(300); // nothing more comes afterwards
        qputenv("PULSE_SERVER", sinkServer);
        const QStringList& failures = *row.message == '\0' ? told.outputFailures : told.failures;
        ASSERT_EQ(told.failures.size() + told.outputFailures.size(), 1)
            << (told.failures + told.outputFailures).join('\n').toStdString();
        ASSERT_EQ(failures.size(), 1);
        if (*row.message == '\0') {
            EXPECT_FALSE(failures[0].isEmpty() || failures[0].contains('\n')) << failures[0].toStdString();
        } else {
            EXPECT_TRUE(failures[0].startsWith(QLatin1String(row.message)) &&
                        failures[0].contains(QLatin1String(row.file)))
                << failures[0].toStdString();
        }
        EXPECT_EQ(failing.playState(), MediaPlayer::stopped);
        EXPECT_FALSE(told.first(MediaPlayer::playing));
        EXPECT_EQ(told.silentTold, 0);
    }
}

// Interleaved 16-bit little-endian samples.
std::vector<qint16> samplesOf(QByteArrayView pcm) {
    std::vector<qint16> samples(static_cast<std::size_t>(pcm.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = qFromLittleEndian<qint16>(pcm.sliced(static_cast<qsizetype>(i) * 2).data());
    }
    return samples;
}

// What reached the sink against the file's own samples times `factor`, over `frames` frames after the first
// `skip`: the first sound recorded is the file's frame `from`, or one of the next 64 (samples that `factor`
// rounds to nothing are not heard), whichever matches best.
struct Difference {
    std::size_t compared = 0;
    std::size_t different = 0; // samples that are not the file's own
    double largestError = 0;   // against the file's own times `factor`
    double gainDb = 0;         // the level measured: what was recorded against the file's own
};
Difference differenceOf(const std::vector<qint16>& recorded, const std::vector<qint16>& source,
                        std::size_t from, std::size_t frames, double factor, std::size_t skip = 0) {
    const auto heard = static_cast<std::size_t>(
        std::ranges::find_if(recorded, [](qint16 sample) { return sample != 0; }) - recorded.begin());
    const std::size_t first = heard - heard % 2;
    const auto errorAt = [&](std::size_t recordedAt, std::size_t sourceAt) {
        return std::abs(recorded[recordedAt] - source[sourceAt] * factor);
    };
    std::size_t bestStart = from * 2;
    double bestError = std::numeric_limits<double>::infinity();
    for (std::size_t start = from * 2; start < (from + 64) * 2 && start + 4000 < source.size(); start += 2) {
        double error = 0;
        for (std::size_t i = 0; i < 4000 && first + i < recorded.size(); ++i) {
            error += errorAt(first + i, start + i);
        }
        if (error < bestError) {
            bestError = error;
            bestStart = start;
        }
    }
    Difference difference;
    double product = 0;
    double energy = 0;
    for (std::size_t i = skip * 2;
         i < (skip + frames) * 2 && first + i < recorded.size() && bestStart + i < source.size(); ++i) {
        const qint16 got = recorded[first + i];
        const qint16 own = source[bestStart + i];
        ++difference.compared;
        difference.different += got != own ? 1 : 0;
        difference.largestError = std::max(difference.largestError, errorAt(first + i, bestStart + i));
        product += static_cast<double>(got) * own;
        energy += static_cast<double>(own) * own;
    }
    difference.gainDb = 20 * std::log10(product / energy);
    return difference;
}

// The program's levels, recorded at the sink (44.1 kHz, 16 bit) and held against the file's own samples:
// Full level hands a 44.1 kHz 16-bit file's samples to the output bit for bit, -6 dB is every sample times
// 10^(-6/20) within 1, ReplayGain is the tags' gain within 0.03 dB, limited by the peak tag, and -6 dB for a
// file without gain tags, and a gain without its peak tag all the same; a cue track plays at its file's gain.
// A gapless take plays at its first file's album gain throughout, the second file's own gain of -8 dB
// notwithstanding.
TEST(MediaPlayer, EachLevelReachesTheSinkAsTheFilesOwnSamplesOrTheirGain) {
    MpvMediaPlayer player(nullptr, sinkSoundOutput());
    player.setRunBuffering(true); // as a run plays
    const StateLog log(player);
    QFile wav(fixtures + "music.wav");
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray file = wav.readAll();
    const std::vector<qint16> once = samplesOf(QByteArrayView(file).sliced(file.indexOf("data") + 8));
    std::vector<qint16> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    const double limitedByPeak = 20 * std::log10(1 / 0.8);
    const struct {
        std::vector<const char*> files; // two: a gapless take
        Level level;
        double db;           // the level expected; its samples exactly the file's own at 0
        double startSeconds; // a cue track's start in its file
    } cases[] = {
        {{"music.wav"}, Level::full, 0, 0},
        {{"music.flac"}, Level::full, 0, 0},
        {{"music.wav"}, Level::minus6dB, -6, 0},
        {{"gain.flac"}, Level::trackGain, -3.5, 0},
        {{"gain.flac"}, Level::albumGain, -1.2, 0},
        {{"hot.flac"}, Level::albumGain, limitedByPeak, 0}, // +6 dB, peak 0.8; no album gain: the track's
        {{"music.flac"}, Level::trackGain, -6, 0},
        {{"gain.flac"}, Level::trackGain, -3.5, 0.5},
        {{"gain.flac", "quiet.flac"}, Level::trackGain, -1.2, 0},
        {{"nopeak.flac"}, Level::trackGain, -3.5, 0}, // a gain without its peak
        {{"nopeak.flac", "quiet.flac"}, Level::albumGain, -3.5, 0},
    };
    for (const auto& row : std::span(cases)) {
        const std::string name =
            QStringList(QStringList(row.files.begin(), row.files.end())).join('+').toStdString() +
            " at level " + std::to_string(static_cast<int>(row.level));
        SCOPED_TRACE(name);
        player.setLevel(row.level);
        SinkRecorder sink(log.clock);
        ASSERT_TRUE(sink.start()) << sink.errors();
        std::vector<MediaItem> items;
        for (const char* entry : row.files) {
            items.emplace_back(fixtures + entry, row.startSeconds, std::nullopt,
                               readReplayGain(fixtures + entry));
        }
        player.prepareTake(items);
        ASSERT_TRUE(waitForState(player, MediaPlayer::ready));
        player.play();
        ASSERT_TRUE(waitForState(player, MediaPlayer::mediaEnded, 5000));
        QTest::qWait(100);
        sink.stop();
        const double factor = std::pow(10, row.db / 20);
        const std::vector<qint16> recorded = samplesOf(sink.pcm());
        const auto from = static_cast<std::size_t>(std::lround(row.startSeconds * SinkRecorder::rate));
        const std::size_t frames = once.size() / 2 - from;
        // Each file of the take on its own.
        for (std::size_t part = 0; part < row.files.size(); ++part) {
            const Difference heard = differenceOf(recorded, twice, from, frames, factor, part * frames);
            std::cout << name << ", file " << part + 1 << ": " << heard.compared << " samples compared, "
                      << heard.different << " different, measured " << heard.gainDb << " dB, expected "
                      << row.db << " dB\n";
            EXPECT_GE(heard.compared, frames * 2 - 2) << "every sample recorded";
            if (row.db == 0) {
                EXPECT_EQ(heard.different, 0U);
                continue;
            }
            EXPECT_NEAR(heard.gainDb, row.db, 0.03) << "file " << part + 1;
            if (row.level == Level::minus6dB) {
                EXPECT_LE(heard.largestError, 1.0);
            }
        }
    }
}

} // namespace
} // namespace quorvex::test
