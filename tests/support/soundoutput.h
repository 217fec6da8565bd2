#pragma once

#include <QString>

namespace quorvex::test {

// The media player's sound output in the tests and benches that play into the private sink: that of the
// sound server start_sound_sink started (QUORVEX_TEST_AO: mpv's "pulse" for PulseAudio, its own "pipewire"
// for PipeWire, as on a desktop). Naming it keeps mpv from choosing another output of the machine.
inline QString sinkSoundOutput() {
    return qEnvironmentVariable("QUORVEX_TEST_AO", QStringLiteral("pulse"));
}

} // namespace quorvex::test
