#include "mediatest.h"
#include "pcm.h"
#include "platform/mediaplayerbar.h"
#include "sinkrecorder.h"

#include <cmath>
#include <iostream>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace quorvex::test {
namespace {

class SoundTest : public MediaTest {
protected:
    // The WAV's loudest sample at the program's -6 dB, as the sink must receive it with the listener's
    // volume at 100 and nothing muted.
    static double programLevelPeak() {
        const auto peak = wavPeak(fixture("sine.wav"));
        EXPECT_TRUE(peak);
        return peak.value_or(0) * std::pow(10.0, -6.0 / 20.0);
    }

    // Records the sink for a while.
    static PcmSummary record(std::chrono::milliseconds time) {
        QElapsedTimer clock;
        clock.start();
        SinkRecorder recorder(clock);
        EXPECT_TRUE(recorder.start()) << recorder.errors().toStdString();
        runFor(time);
        recorder.stop();
        return summarize(recorder.pcm());
    }
};

constexpr double rate = SinkRecorder::rate;

// The whole file reaches the sink, at -6 dB, and it does so while the player says "playing": the first and
// the last sample go through the sink between the moments the state became 2 and left it.
TEST_F(SoundTest, WholeFileReachesTheSinkAtMinus6DbWhileThePlayerSaysPlaying) {
    const auto player = makePlayer();
    const StateLog log(*player);
    QElapsedTimer clock;
    clock.start();
    SinkRecorder recorder(clock);
    ASSERT_TRUE(recorder.start()) << recorder.errors().toStdString();
    const double logOffset = log.now() - static_cast<double>(clock.nsecsElapsed()) / 1e9;

    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, endOfFile)) << log.describe().toStdString();
    runFor(200ms);
    recorder.stop();

    const PcmSummary sound = summarize(recorder.pcm());
    ASSERT_TRUE(sound.firstSoundFrame) << "the sink received only silence";
    std::cout << "sink received " << sound.soundSeconds(SinkRecorder::rate) << " s of sound, peak "
              << sound.peak << " (expected " << programLevelPeak() << ")\n";
    EXPECT_NEAR(sound.soundSeconds(SinkRecorder::rate), 3.0, 0.01);
    EXPECT_NEAR(sound.peak, programLevelPeak(), programLevelPeak() * 0.02);

    // When the sound's first and last frames went through the sink, on the log's clock.
    const double recordingStart = *recorder.startSeconds() + logOffset;
    const double soundStart = recordingStart + static_cast<double>(*sound.firstSoundFrame) / rate;
    const double soundEnd = recordingStart + static_cast<double>(*sound.lastSoundFrame + 1) / rate;
    const auto playing = log.firstEntered(MediaPlayer::playing);
    ASSERT_TRUE(playing) << log.describe().toStdString();
    const auto leftPlaying = log.leftAfter(MediaPlayer::playing, *playing);
    ASSERT_TRUE(leftPlaying) << log.describe().toStdString();
    std::cout << "sound at the sink from " << soundStart << " s to " << soundEnd << " s; state 2 from "
              << *playing << " s to " << *leftPlaying << " s\n";
    // The recording's clock runs at most parec's latency (10 ms) late. The state says 2 only once the sound
    // is going out, so not before the first sample reaches the sink; it says so promptly, well within 50 ms.
    // It leaves 2 only after the last sample has reached the sink.
    constexpr double recordingLatency = 0.02;
    constexpr double promptly = 0.05;
    EXPECT_LE(soundStart, *playing + recordingLatency) << log.describe().toStdString();
    EXPECT_GE(soundStart, *playing - promptly) << log.describe().toStdString();
    EXPECT_LE(soundEnd, *leftPlaying + recordingLatency) << log.describe().toStdString();
}

TEST_F(SoundTest, StopSilencesTheSink) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    EXPECT_GT(record(300ms).peak, 0) << "the file is sounding before the stop";

    player->stop();
    EXPECT_EQ(player->playState(), MediaPlayer::stopped);
    runFor(300ms); // what the sink had buffered plays out
    EXPECT_EQ(record(500ms).peak, 0) << "silence, a second before the 3 s file would have ended";
}

TEST_F(SoundTest, VolumeSliderAndMuteActOnTopOfTheProgramLevel) {
    const auto player = makePlayer();
    MediaPlayerBar bar(*player);
    const StateLog log(*player);
    auto* const volume = bar.findChild<QSlider*>(QStringLiteral("volumeSlider"));
    auto* const mute = bar.findChild<QToolButton*>(QStringLiteral("muteButton"));
    ASSERT_TRUE(volume != nullptr && mute != nullptr);
    EXPECT_EQ(volume->value(), 100);
    EXPECT_FALSE(mute->isChecked());

    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    const PcmSummary full = record(400ms);
    EXPECT_NEAR(full.peak, programLevelPeak(), programLevelPeak() * 0.02);

    // mpv's volume is cubic: half the slider is an eighth of the amplitude, on top of the -6 dB.
    volume->setValue(50);
    runFor(400ms); // what was buffered at the old level plays out first
    const PcmSummary half = record(300ms);
    EXPECT_NEAR(half.peak, programLevelPeak() / 8.0, programLevelPeak() / 8.0 * 0.05);

    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_TRUE(player->isMuted() || waitUntil(
                                         *player, [&] { return player->isMuted(); }, 1s));
    runFor(400ms);
    const PcmSummary muted = record(300ms);
    EXPECT_EQ(muted.peak, 0);
    EXPECT_TRUE(mute->isChecked());
    EXPECT_EQ(player->playState(), MediaPlayer::playing);
    std::cout << "peaks: full " << full.peak << ", half volume " << half.peak << ", muted " << muted.peak
              << '\n';
    player->stop();
}

} // namespace
} // namespace quorvex::test
