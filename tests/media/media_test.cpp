// The media player for real: libmpv playing the build's sound files into the private PulseAudio null sink
// (scripts/sound-sink.sh), its control bar shown offscreen, what reaches the sink recorded from its monitor.
#include "platform/mediaplayerbar.h"
#include "platform/mpvmediaplayer.h"
#include "sinkrecorder.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace quorvex::test {
namespace {

QString fixture(const char* name) {
    return QStringLiteral(QUORVEX_MEDIA_FIXTURES "/") + QString::fromUtf8(name);
}

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
    [[nodiscard]] std::string describe() const {
        QStringList parts(failures);
        for (const auto& [seconds, state] : states) {
            parts.append(QStringLiteral("%1@%2s").arg(state).arg(seconds, 0, 'f', 3));
        }
        return parts.join(QLatin1Char(' ')).toStdString();
    }

    QElapsedTimer clock;
    QStringList failures;

private:
    std::vector<std::pair<double, int>> states{{0.0, MediaPlayer::undefined}}; // seconds, state
};

bool waitForState(const MediaPlayer& player, int state, int milliseconds = 3000) {
    return QTest::qWaitFor([&] { return player.playState() == state; }, milliseconds);
}

// A player sending its sound to PulseAudio only (on a desktop with PipeWire, mpv's first choice would take
// it to the speakers instead of the private sink), its states logged, under a shown control bar.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("QUORVEX_TEST_SINK"))
            << "start the private sink first: source scripts/sound-sink.sh && start_sound_sink";
        bar.show();
    }

    template <typename Widget> Widget* child(const char* name) const {
        auto* const widget = bar.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char* button) const { QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton); }

    // The largest sample that reaches the sink in the given time.
    [[nodiscard]] int peakAtTheSink(int milliseconds) const {
        SinkRecorder recorder(log.clock);
        EXPECT_TRUE(recorder.start()) << recorder.errors();
        QTest::qWait(milliseconds);
        recorder.stop();
        return peak(recorder.pcm());
    }

    MpvMediaPlayer player{nullptr, QStringLiteral("pulse")};
    MediaPlayerBar bar{player};
    const StateLog log{player};
};

TEST_F(MediaTest, TheBarPlaysPausesStopsAndSeeksAndFollowsThePosition) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    EXPECT_EQ(bar.size(), QSize(241, 41));
    EXPECT_EQ(bar.minimumSize(), bar.maximumSize()) << "a fixed size";
    const std::array<QWidget*, 6> parts{child<QToolButton>("playButton"), child<QToolButton>("stopButton"),
                                        child<QSlider>("seekBar"),        child<QSlider>("volumeSlider"),
                                        child<QToolButton>("muteButton"), child<QLabel>("timeLabel")};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        ASSERT_NE(parts.at(i), nullptr);
        const QRect place = parts.at(i)->geometry();
        EXPECT_TRUE(parts.at(i)->isVisible() && !place.isEmpty() && bar.rect().contains(place)) << i;
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            EXPECT_FALSE(place.intersects(parts.at(j)->geometry())) << i << " overlaps " << j;
        }
    }
    auto* const time = child<QLabel>("timeLabel");
    EXPECT_EQ(time->text(), QStringLiteral("0:00 / 0:00"));
    EXPECT_GE(time->width(), time->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")));
    // The listener's level starts untouched, so the program's -6 dB is what plays.
    EXPECT_EQ(child<QSlider>("volumeSlider")->value(), 100);
    EXPECT_FALSE(child<QToolButton>("muteButton")->isChecked());
    EXPECT_FALSE(child<QToolButton>("playButton")->isEnabled()) << "nothing opened yet";

    player.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing)) << log.describe();
    // The seek bar and the text follow the position: the player's own reporting, then at most ten updates
    // a second.
    auto* const seekBar = child<QSlider>("seekBar");
    constexpr int lateMs = 150 + 100;
    const double before = player.currentPosition();
    QTest::qWait(700);
    EXPECT_NEAR(player.currentPosition() - before, 0.7, 0.15);
    EXPECT_NEAR(seekBar->maximum(), 3000, 50);
    const int early = seekBar->value();
    EXPECT_NEAR(early, player.currentPosition() * 1000, lateMs);

    // Pause holds the position; play resumes.
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::paused, 1000)) << log.describe();
    QTest::qWait(100); // the position reached may still be on its way from libmpv
    const double held = player.currentPosition();
    QTest::qWait(400);
    EXPECT_NEAR(player.currentPosition(), held, 0.01);
    EXPECT_EQ(player.playState(), MediaPlayer::paused);
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing, 1000)) << log.describe();
    QTest::qWait(600);
    EXPECT_GT(player.currentPosition(), held + 0.4);
    EXPECT_NEAR(seekBar->value(), player.currentPosition() * 1000, lateMs);
    EXPECT_GT(seekBar->value(), early + 450);
    EXPECT_EQ(time->text(), QStringLiteral("0:01 / 0:03"));

    // Stop leaves playing at once and for good.
    ASSERT_TRUE(child<QToolButton>("stopButton")->isEnabled());
    click("stopButton");
    const double stoppedAt = log.now();
    EXPECT_EQ(player.playState(), MediaPlayer::stopped);
    QTest::qWait(400);
    EXPECT_FALSE(log.first(MediaPlayer::stopped, stoppedAt, true)) << log.describe();
    EXPECT_EQ(player.currentPosition(), 0.0);
    EXPECT_FALSE(child<QToolButton>("stopButton")->isEnabled());
    EXPECT_EQ(seekBar->value(), 0);

    // Play after a stop plays the file again from its start; the seek bar, dragged, seeks where it is let go
    // and not before; the end comes from there.
    click("playButton");
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing)) << log.describe();
    EXPECT_LT(player.currentPosition(), 0.3);
    seekBar->setSliderDown(true);
    seekBar->setSliderPosition(2000);
    QTest::qWait(300); // while held, the position does not pull the handle back
    EXPECT_EQ(seekBar->value(), 2000);
    EXPECT_LT(player.currentPosition(), 1.0);
    seekBar->setSliderDown(false);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player.playState() == MediaPlayer::playing && player.currentPosition() >= 2.0; }, 1000))
        << log.describe();
    EXPECT_GE(seekBar->value(), 2000);
    const double seekedAt = log.now();
    ASSERT_TRUE(waitForState(player, MediaPlayer::mediaEnded, 2000)) << log.describe();
    EXPECT_LT(log.now() - seekedAt, 1.3);
    EXPECT_TRUE(log.failures.isEmpty()) << log.describe();
}

// The whole file reaches the sink at -6 dB, while the player says "playing"; the listener's volume and mute
// act on top of that; stop silences the sink.
TEST_F(MediaTest, TheSinkHearsTheWholeFileAtItsLevelWhileThePlayerSaysPlaying) {
    const QByteArray wav = [] {
        QFile file(fixture("sine.wav"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_TRUE(wav.contains("data"));
    // With the listener's volume at 100 and nothing muted.
    const double programLevel =
        peak(QByteArrayView(wav).sliced(wav.indexOf("data") + 8)) * std::pow(10, -0.3);
    SinkRecorder recorder(log.clock);
    ASSERT_TRUE(recorder.start()) << recorder.errors();
    player.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(player, MediaPlayer::mediaEnded, 6000)) << log.describe();
    QTest::qWait(200);
    recorder.stop();

    const std::vector<SoundSpan> sound = soundSpans(recorder.pcm(), SinkRecorder::rate / 20);
    ASSERT_EQ(sound.size(), 1U) << "one stretch of sound, without a gap";
    const double soundStart = recorder.secondsAt(sound[0].firstFrame);
    const double soundEnd = recorder.secondsAt(sound[0].lastFrame + 1);
    EXPECT_NEAR(soundEnd - soundStart, 3.0, 0.01);
    EXPECT_NEAR(peak(recorder.pcm()), programLevel, programLevel * 0.02);
    // The recording's clock runs at most parec's latency (10 ms) late. The state says 2 only once the sound
    // is going out, so not before the first sample reaches the sink; it says so promptly, well within 50 ms.
    // It leaves 2 only after the last sample has reached the sink.
    const auto playing = log.first(MediaPlayer::playing);
    ASSERT_TRUE(playing) << log.describe();
    const auto leftPlaying = log.first(MediaPlayer::playing, *playing, true);
    ASSERT_TRUE(leftPlaying) << log.describe();
    EXPECT_LE(soundStart, *playing + 0.02) << log.describe();
    EXPECT_GE(soundStart, *playing - 0.05) << log.describe();
    EXPECT_LE(soundEnd, *leftPlaying + 0.02) << log.describe();

    // mpv's volume is cubic: half the slider is an eighth of the amplitude, on top of the -6 dB.
    player.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing)) << log.describe();
    child<QSlider>("volumeSlider")->setValue(50);
    QTest::qWait(400); // what was buffered at the old level plays out first
    EXPECT_NEAR(peakAtTheSink(300), programLevel / 8, programLevel / 8 * 0.05);
    player.stop();
    EXPECT_EQ(player.playState(), MediaPlayer::stopped);
    QTest::qWait(300); // what the sink had buffered plays out
    EXPECT_EQ(peakAtTheSink(500), 0) << "silence, a second before the file would have ended";

    player.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing)) << log.describe();
    click("muteButton");
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.isMuted(); }, 1000));
    QTest::qWait(400);
    EXPECT_EQ(peakAtTheSink(300), 0);
    EXPECT_TRUE(child<QToolButton>("muteButton")->isChecked());
    EXPECT_EQ(player.playState(), MediaPlayer::playing);
    player.stop();
}

// Opening another file replaces the playing one at once, on mpv's own choice of sound output; an MP3 cut
// short plays what it has (about 1 s of its 3) and ends, without a failure.
TEST_F(MediaTest, AnotherFileReplacesThePlayingOneAndACutMp3PlaysWhatItHas) {
    MpvMediaPlayer ownChoice;
    const StateLog ownLog(ownChoice);
    ownChoice.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(ownChoice, MediaPlayer::playing)) << ownLog.describe();
    EXPECT_NEAR(ownChoice.duration(), 3.0, 0.05);
    QTest::qWait(300);

    const double replacedAt = ownLog.now();
    ownChoice.open(fixture("truncated.mp3"));
    EXPECT_EQ(ownChoice.playState(), MediaPlayer::transitioning);
    ASSERT_TRUE(waitForState(ownChoice, MediaPlayer::playing)) << ownLog.describe();
    EXPECT_LT(ownChoice.currentPosition(), 0.3);
    const auto started = ownLog.first(MediaPlayer::playing, replacedAt);
    ASSERT_TRUE(started) << ownLog.describe();
    ASSERT_TRUE(waitForState(ownChoice, MediaPlayer::mediaEnded)) << ownLog.describe();
    // 16000 bytes of a 128 kbit/s MP3 hold about one second of sound, not the rest of the first file (2.7 s).
    const double played = ownLog.first(MediaPlayer::playing, *started, true).value_or(0) - *started;
    EXPECT_GT(played, 0.8) << ownLog.describe();
    EXPECT_LT(played, 1.3) << ownLog.describe();
    EXPECT_TRUE(ownLog.failures.isEmpty()) << ownLog.describe();
}

// What cannot play fails once, naming the file or the sound output, and never says "playing".
TEST_F(MediaTest, FilesWithoutSoundAndMissingSoundOutputsFail) {
    const struct {
        const char* file;
        const char* output;
        const char* server; // PulseAudio's address for the player, when not the private sink's
        const char* message;
    } cases[] = {
        {"no-such-file.mp3", "pulse", nullptr, "Cannot play"},
        {"text.mp3", "pulse", nullptr, "Cannot play"},     // text with an MP3's name
        {"tagsonly.mp3", "pulse", nullptr, "Cannot play"}, // cut before its first frame of sound
        {"noaudio.wav", "pulse", nullptr, "Cannot play"},  // a WAV without samples
        {"sine.wav", "no-such-output", nullptr, "no sound output: "},
        {"sine.wav", "pulse", "unix:/nonexistent/quorvex/pulse/native", "no sound output: "},
    };
    const QByteArray sinkServer = qgetenv("PULSE_SERVER");
    for (const auto& row : cases) {
        SCOPED_TRACE(row.file);
        qputenv("PULSE_SERVER", row.server != nullptr ? QByteArray(row.server) : sinkServer);
        MpvMediaPlayer failing(nullptr, QString::fromLatin1(row.output));
        const StateLog failures(failing);
        failing.open(fixture(row.file));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !failures.failures.isEmpty(); }, 3000));
        QTest::qWait(300); // nothing more comes afterwards
        qputenv("PULSE_SERVER", sinkServer);
        ASSERT_EQ(failures.failures.size(), 1) << failures.describe();
        const QString message = failures.failures.front();
        EXPECT_TRUE(message.startsWith(QLatin1String(row.message))) << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(row.file))) << message.toStdString();
        EXPECT_EQ(failing.playState(), MediaPlayer::stopped);
        EXPECT_FALSE(failures.first(MediaPlayer::playing)) << failures.describe();
    }
}

} // namespace
} // namespace quorvex::test
