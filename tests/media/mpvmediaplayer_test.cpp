#include "mediatest.h"

#include <algorithm>
#include <iostream>

namespace quorvex::test {
namespace {

class MpvMediaPlayerTest : public MediaTest {};

// The end may be seen this much sooner than the file's length after the start was seen: both moments are
// taken when the GUI thread handles libmpv's events, and the start is seen a few milliseconds after the
// sound output began (the wakeup is a queued call). A cut end would be far more: mpv's null output, which
// does not wait for the sound to be played, ends about 0.3 s early.
constexpr double startLatencyAllowance = 0.05;

void expectEndNotBeforeLength(const MediaPlayer& player, const StateLog& log, double length,
                              const char* what) {
    const auto started = log.firstEntered(MediaPlayer::playing);
    ASSERT_TRUE(started) << log.describe().toStdString();
    const auto left = log.leftAfter(MediaPlayer::playing, *started);
    ASSERT_TRUE(left) << log.describe().toStdString();
    const double played = *left - *started;
    std::cout << what << ": play state 2 lasted " << played << " s for a " << length << " s file\n";
    EXPECT_GE(played, length - startLatencyAllowance) << log.describe().toStdString();
    EXPECT_LE(played, length + 0.4) << log.describe().toStdString();
    EXPECT_EQ(player.playState(), MediaPlayer::mediaEnded);
    EXPECT_TRUE(log.failures().isEmpty()) << log.describe().toStdString();
}

TEST_F(MpvMediaPlayerTest, TransitionsUntilTheSoundGoesOutThenPlays) {
    const auto player = makePlayer();
    const StateLog log(*player);
    EXPECT_EQ(player->playState(), MediaPlayer::undefined);
    player->open(fixture("sine.wav"));
    EXPECT_EQ(player->playState(), MediaPlayer::transitioning);

    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    // Before the sound went out the player only opened and loaded the file.
    const auto& entries = log.entries();
    const auto firstPlaying = std::find_if(entries.begin(), entries.end(), [](const StateLog::Entry& entry) {
        return entry.state == MediaPlayer::playing;
    });
    for (auto entry = entries.begin(); entry != firstPlaying; ++entry) {
        EXPECT_TRUE(entry->state == MediaPlayer::undefined || entry->state == MediaPlayer::transitioning ||
                    entry->state == MediaPlayer::ready)
            << log.describe().toStdString();
    }
    EXPECT_TRUE(log.failures().isEmpty());
    player->stop();
}

TEST_F(MpvMediaPlayerTest, PositionAdvancesAndDurationIsTheFilesLength) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.mp3"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    const double before = player->currentPosition();
    runFor(600ms);
    const double after = player->currentPosition();
    EXPECT_NEAR(after - before, 0.6, 0.15);
    EXPECT_NEAR(player->duration(), 3.0, 0.05);
    EXPECT_EQ(player->playState(), MediaPlayer::playing);
    player->stop();
}

TEST_F(MpvMediaPlayerTest, StopLeavesPlayingAndStaysStopped) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    runFor(300ms);
    player->stop();
    EXPECT_EQ(player->playState(), MediaPlayer::stopped);
    const double stoppedAt = log.now();
    runFor(600ms);
    EXPECT_EQ(player->playState(), MediaPlayer::stopped);
    EXPECT_EQ(player->currentPosition(), 0.0);
    EXPECT_FALSE(log.leftAfter(MediaPlayer::stopped, stoppedAt)) << log.describe().toStdString();
    EXPECT_TRUE(log.failures().isEmpty());
}

TEST_F(MpvMediaPlayerTest, WavEndsNotBeforeItsLastSamplePlayed) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, endOfFile)) << log.describe().toStdString();
    expectEndNotBeforeLength(*player, log, 3.0, "WAV");
}

TEST_F(MpvMediaPlayerTest, Mp3EndsNotBeforeItsLastSamplePlayed) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.mp3"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, endOfFile)) << log.describe().toStdString();
    expectEndNotBeforeLength(*player, log, 3.0, "MP3");
}

TEST_F(MpvMediaPlayerTest, WmaPlays) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wma"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    EXPECT_NEAR(player->duration(), 3.0, 0.05);
    const double before = player->currentPosition();
    runFor(400ms);
    EXPECT_GT(player->currentPosition(), before + 0.2);
    EXPECT_TRUE(log.failures().isEmpty());
    player->stop();
}

TEST_F(MpvMediaPlayerTest, WavPlaysOnMpvsOwnChoiceOfSoundOutput) {
    MpvMediaPlayer player;
    const StateLog log(player);
    player.open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    EXPECT_NEAR(player.duration(), 3.0, 0.05);
    EXPECT_TRUE(log.failures().isEmpty());
}

TEST_F(MpvMediaPlayerTest, OpeningAnotherFileReplacesThePlayingOne) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    runFor(300ms);

    const double replacedAt = log.now();
    player->open(fixture("truncated.mp3"));
    EXPECT_EQ(player->playState(), MediaPlayer::transitioning);
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    EXPECT_LT(player->currentPosition(), 0.3);
    const auto started = log.leftAfter(MediaPlayer::transitioning, replacedAt);
    ASSERT_TRUE(started);
    // The end that follows is the short file's (about 1 s), not the rest of the first one (2.7 s).
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, startOfSound)) << log.describe().toStdString();
    EXPECT_LT(log.now() - *started, 1.6) << log.describe().toStdString();
    EXPECT_TRUE(log.failures().isEmpty()) << log.describe().toStdString();
}

TEST_F(MpvMediaPlayerTest, PauseHoldsThePositionAndPlayResumes) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    player->pause();
    ASSERT_TRUE(waitForState(*player, MediaPlayer::paused, 1s)) << log.describe().toStdString();
    runFor(100ms); // the position reached may still be on its way from libmpv
    const double held = player->currentPosition();
    runFor(400ms);
    EXPECT_NEAR(player->currentPosition(), held, 0.01);
    EXPECT_EQ(player->playState(), MediaPlayer::paused);
    player->play();
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, 1s)) << log.describe().toStdString();
    runFor(300ms);
    EXPECT_GT(player->currentPosition(), held + 0.15);
    player->stop();
}

TEST_F(MpvMediaPlayerTest, SeekMovesThePosition) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.wav"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    player->seek(2.0);
    ASSERT_TRUE(waitUntil(
        *player,
        [&] { return player->playState() == MediaPlayer::playing && player->currentPosition() >= 2.0; }, 1s))
        << log.describe().toStdString();
    const double seekedAt = log.now();
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, 2s)) << log.describe().toStdString();
    EXPECT_LT(log.now() - seekedAt, 1.3);
}

} // namespace
} // namespace quorvex::test
