#include "deck/discdrive.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
const DiscDrive::Clock::time_point start{};

TEST(DiscDrive, KeepsTheDiscItStartsWith) {
    const DiscDrive drive(
        Disc{.tracks = 4, .minutes = 20, .seconds = 30, .name = QStringLiteral("Old"), .titles = {}});
    EXPECT_EQ(drive.disc().tracks, 4);
    EXPECT_EQ(drive.disc().minutes, 20);
    EXPECT_EQ(drive.disc().seconds, 30);
    EXPECT_EQ(drive.disc().name, QStringLiteral("Old"));
    EXPECT_FALSE(drive.isRecording());
}

TEST(DiscDrive, EachRecordStopCycleIsOneTrackWithItsTime) {
    DiscDrive drive;
    drive.record(start);
    EXPECT_TRUE(drive.isRecording());
    EXPECT_EQ(drive.disc().tracks, 0) << "a track counts once it is stopped";
    drive.stop(start + 3s);
    EXPECT_FALSE(drive.isRecording());
    EXPECT_EQ(drive.disc().tracks, 1);
    EXPECT_EQ(drive.disc().seconds, 3);

    drive.record(start + 10s);
    drive.stop(start + 14s);
    EXPECT_EQ(drive.disc().tracks, 2);
    EXPECT_EQ(drive.disc().minutes, 0);
    EXPECT_EQ(drive.disc().seconds, 7);
}

TEST(DiscDrive, TimeIsRoundedToWholeSeconds) {
    DiscDrive drive;
    drive.record(start);
    drive.stop(start + 2499ms);
    EXPECT_EQ(drive.disc().seconds, 2);
    drive.record(start + 10s);
    drive.stop(start + 10s + 2500ms);
    EXPECT_EQ(drive.disc().seconds, 5);
    drive.record(start + 20s);
    drive.stop(start + 20s + 400ms);
    EXPECT_EQ(drive.disc().tracks, 3) << "even a short recording is a track";
    EXPECT_EQ(drive.disc().seconds, 5);
}

TEST(DiscDrive, SecondsCarryIntoMinutes) {
    DiscDrive drive(Disc{.tracks = 9, .minutes = 59, .seconds = 58, .name = {}, .titles = {}});
    drive.record(start);
    drive.stop(start + 65s);
    EXPECT_EQ(drive.disc().tracks, 10);
    EXPECT_EQ(drive.disc().minutes, 61);
    EXPECT_EQ(drive.disc().seconds, 3);
}

TEST(DiscDrive, StopWithoutRecordingAndRecordWhileRecordingChangeNothing) {
    DiscDrive drive;
    drive.stop(start + 1s);
    EXPECT_EQ(drive.disc().tracks, 0);

    drive.record(start);
    drive.record(start + 5s); // the clock runs on from the first record
    drive.stop(start + 8s);
    drive.stop(start + 9s); // nothing is recording any more
    EXPECT_EQ(drive.disc().tracks, 1);
    EXPECT_EQ(drive.disc().seconds, 8);
}

TEST(DiscDrive, TitlesAreKeptByTrackAndTrackZeroNamesTheDisc) {
    DiscDrive drive;
    drive.setTitle(3, QStringLiteral("Summer Holiday"));
    drive.setTitle(0, QStringLiteral("Mix"));
    drive.setTitle(3, QStringLiteral("Winter"));
    EXPECT_EQ(drive.disc().name, QStringLiteral("Mix"));
    ASSERT_EQ(drive.disc().titles.size(), 2U);
    EXPECT_EQ(drive.disc().titles.at(3), QStringLiteral("Winter"))
        << "a later title replaces the earlier one";
    EXPECT_EQ(drive.disc().titles.at(0), QStringLiteral("Mix"));
}

} // namespace
} // namespace quorvex::deck
