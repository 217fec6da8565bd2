#pragma once

#include "platform/mpvmediaplayer.h"
#include "statelog.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QString>

namespace quorvex::test {

using namespace std::chrono_literals;

// Every media test plays into the private PulseAudio null sink (scripts/sound-sink.sh); without it a
// test fails at once and says how to start it.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;

    // A sound file made by the build.
    [[nodiscard]] static QString fixture(const char* name);

    // The player sends its sound to PulseAudio only: on a desktop with PipeWire, mpv's first choice would
    // otherwise take the sound to the speakers instead of the private sink.
    [[nodiscard]] static std::unique_ptr<MpvMediaPlayer> makePlayer();
};

// Runs the event loop until `done` holds (checked on every stateChanged and every few milliseconds) or the
// time is up; says whether it holds.
bool waitUntil(const MediaPlayer& player, const std::function<bool()>& done,
               std::chrono::milliseconds timeout);
bool waitForState(const MediaPlayer& player, int state, std::chrono::milliseconds timeout);
// Runs the event loop for a while.
void runFor(std::chrono::milliseconds time);

// Files ending this long after their sound started: the end of a 3 s file, with room for a slow machine.
inline constexpr auto endOfFile = 6s;
inline constexpr auto startOfSound = 3s;

} // namespace quorvex::test
