#include "deck/discdrive.h"

#include <array>
#include <gtest/gtest.h>
#include <span>
#include <vector>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
const DiscDrive::Clock::time_point start{};

TEST(DiscDrive, EachRecordStopCycleIsOneTrackWithItsTimeInWholeSeconds) {
    struct Step {
        bool record; // else stop
        DiscDrive::Clock::duration at;
    };
    constexpr bool record = true;
    constexpr bool stop = false;
    const struct {
        const char* what;
        Disc disc;
        std::vector<Step> steps;
        std::array<int, 3> tracksMinutesSeconds;
    } cases[] = {
        {"two", {}, {{record, 0s}, {stop, 3s}, {record, 10s}, {stop, 14s}}, {2, 0, 7}},
        {"rounded; a short one is a track",
         {},
         {{record, 0s}, {stop, 2499ms}, {record, 10s}, {stop, 12500ms}, {record, 20s}, {stop, 20400ms}},
         {3, 0, 5}},
        {"carried",
         Disc{.tracks = 9, .minutes = 59, .seconds = 58, .name = {}, .titles = {}},
         {{record, 0s}, {stop, 65s}},
         {10, 61, 3}},
        {"stop while idle, record while recording: nothing",
         {},
         {{stop, 1s}, {record, 0s}, {record, 5s}, {stop, 8s}, {stop, 9s}},
         {1, 0, 8}},
    };
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(row.what);
        DiscDrive drive(row.disc);
        for (const Step& step : row.steps) {
            const int tracksBefore = drive.disc().tracks;
            if (step.record) {
                drive.record(start + step.at);
                EXPECT_TRUE(drive.isRecording());
                EXPECT_EQ(drive.disc().tracks, tracksBefore) << "a track counts once it is stopped";
            } else {
                drive.stop(start + step.at);
                EXPECT_FALSE(drive.isRecording());
            }
        }
        const Disc& disc = drive.disc();
        EXPECT_EQ((std::array{disc.tracks, disc.minutes, disc.seconds}), row.tracksMinutesSeconds);
    }
}

} // namespace
} // namespace quorvex::deck
