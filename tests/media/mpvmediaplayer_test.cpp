#include "mediatest.h"

namespace quorvex::test {
namespace {

class MpvMediaPlayerTest : public MediaTest {};

// Whole files played to their end, their length and their sound are proven end to end (the recording
// tests and the sound tests); these are the player's other states.

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

TEST_F(MpvMediaPlayerTest, PositionAdvancesAndSeekMovesIt) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("sine.mp3"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    const double before = player->currentPosition();
    runFor(600ms);
    EXPECT_NEAR(player->currentPosition() - before, 0.6, 0.15);
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
