#include "mediatest.h"
#include "platform/mediaplayerbar.h"

#include <array>
#include <cmath>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace quorvex::test {
namespace {

// A real player under a shown bar, its states logged.
class MediaPlayerBarTest : public MediaTest {
protected:
    MediaPlayerBarTest() { bar.show(); }

    template <typename Widget> Widget* child(const char* name) const {
        auto* const widget = bar.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Opens the 3 s tone and waits until it sounds.
    void playSine() {
        player->open(fixture("sine.wav"));
        ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound))
            << log.describe().toStdString();
    }

    const std::unique_ptr<MpvMediaPlayer> player = makePlayer();
    MediaPlayerBar bar{*player};
    const StateLog log{*player};
};

TEST_F(MediaPlayerBarTest, HasTheControlsFixedSizeAndEverythingFitsInIt) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    EXPECT_EQ(bar.size(), QSize(241, 41));
    EXPECT_EQ(bar.minimumSize(), QSize(241, 41));
    EXPECT_EQ(bar.maximumSize(), QSize(241, 41));

    const std::array<QWidget*, 6> parts{child<QToolButton>("playButton"), child<QToolButton>("stopButton"),
                                        child<QSlider>("seekBar"),        child<QSlider>("volumeSlider"),
                                        child<QToolButton>("muteButton"), child<QLabel>("timeLabel")};
    for (QWidget* const part : parts) {
        ASSERT_NE(part, nullptr);
        EXPECT_TRUE(part->isVisible()) << part->objectName().toStdString();
        EXPECT_FALSE(part->geometry().isEmpty()) << part->objectName().toStdString();
        EXPECT_TRUE(bar.rect().contains(part->geometry())) << part->objectName().toStdString();
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            EXPECT_FALSE(parts.at(i)->geometry().intersects(parts.at(j)->geometry()))
                << parts.at(i)->objectName().toStdString() << " overlaps "
                << parts.at(j)->objectName().toStdString();
        }
    }
    auto* const time = child<QLabel>("timeLabel");
    EXPECT_EQ(time->text(), QStringLiteral("0:00 / 0:00"));
    EXPECT_GE(time->width(), time->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")));
    // The listener's level starts untouched, so the program's -6 dB is what plays.
    EXPECT_EQ(child<QSlider>("volumeSlider")->value(), 100);
    EXPECT_FALSE(child<QToolButton>("muteButton")->isChecked());
}

TEST_F(MediaPlayerBarTest, StopButtonStops) {
    playSine();
    auto* const stop = child<QToolButton>("stopButton");
    ASSERT_TRUE(stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(player->playState(), MediaPlayer::stopped);
    runFor(400ms);
    EXPECT_EQ(player->playState(), MediaPlayer::stopped);
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(child<QSlider>("seekBar")->value(), 0);
}

TEST_F(MediaPlayerBarTest, SeekBarAndTextFollowThePosition) {
    auto* const seekBar = child<QSlider>("seekBar");
    constexpr int lateMs = 150 + 100; // the player's own reporting, then at most ten updates a second
    playSine();
    runFor(700ms);
    EXPECT_NEAR(seekBar->maximum(), 3000, 50);
    const int early = seekBar->value();
    EXPECT_NEAR(early, player->currentPosition() * 1000, lateMs);
    EXPECT_GT(early, 400);
    runFor(700ms);
    EXPECT_NEAR(seekBar->value(), player->currentPosition() * 1000, lateMs);
    EXPECT_GT(seekBar->value(), early + 450);
    EXPECT_EQ(child<QLabel>("timeLabel")->text(), QStringLiteral("0:01 / 0:03"));
    player->stop();
}

TEST_F(MediaPlayerBarTest, DraggingTheSeekBarSeeksWhereItIsLetGo) {
    auto* const seekBar = child<QSlider>("seekBar");
    playSine();

    seekBar->setSliderDown(true);
    seekBar->setSliderPosition(2000);
    runFor(300ms); // while held, the position does not pull the handle back
    EXPECT_EQ(seekBar->value(), 2000);
    EXPECT_LT(player->currentPosition(), 1.0);
    seekBar->setSliderDown(false);
    ASSERT_TRUE(waitUntil(
        *player,
        [&] { return player->playState() == MediaPlayer::playing && player->currentPosition() >= 2.0; }, 1s))
        << log.describe().toStdString();
    EXPECT_GE(seekBar->value(), 2000);
    player->stop();
}

TEST_F(MediaPlayerBarTest, PlayButtonPausesResumesAndPlaysAgainAfterStop) {
    auto* const play = child<QToolButton>("playButton");
    EXPECT_FALSE(play->isEnabled()); // nothing opened yet
    playSine();

    QTest::mouseClick(play, Qt::LeftButton);
    ASSERT_TRUE(waitForState(*player, MediaPlayer::paused, 1s)) << log.describe().toStdString();
    QTest::mouseClick(play, Qt::LeftButton);
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, 1s)) << log.describe().toStdString();

    QTest::mouseClick(child<QToolButton>("stopButton"), Qt::LeftButton);
    ASSERT_EQ(player->playState(), MediaPlayer::stopped);
    QTest::mouseClick(play, Qt::LeftButton);
    ASSERT_TRUE(waitForState(*player, MediaPlayer::playing, startOfSound)) << log.describe().toStdString();
    EXPECT_LT(player->currentPosition(), 0.3);
    EXPECT_TRUE(log.failures().isEmpty());
    player->stop();
}

} // namespace
} // namespace quorvex::test
