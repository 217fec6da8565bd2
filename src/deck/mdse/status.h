#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorvex::deck::mdse {

// What the deck's transport is doing, as STATUS reports it.
enum class Mode { stop, play, playPause, recordPause, record };

// "stop", "play", "play-pause", "rec-pause", "rec"
[[nodiscard]] QString modeName(Mode mode);

// Everything a STATUS report tells.
struct Status {
    bool discIn = true;
    bool poweredOn = true;
    Mode mode = Mode::stop;
    bool tocRead = true;
    bool recordable = true;  // a disc that can be recorded on, its TOC read
    bool inputLocked = true; // the digital input has locked onto its signal
    int track = 0;
};

// 20 20 D1 D2 D3 X4 X5. D1: 0x20 no disc, 0x10 standby, the mode in bits 3..0 (0 stop, 1 play, 2 pause,
// 4 recording, 5 record-pause). D2: 0x80 TOC read, 0x20 recording possible; repeat and play mode 0. D3: the
// optical input (011), 0x20 while the digital input is unlocked. X4 the current track, X5 00, as in the
// maker's example of a STATUS at the start of playback.
[[nodiscard]] QByteArray statusReport(const Status& status);

// The STATUS data read back: "stop, track 1", "rec-pause, track 4, input unlocked", "no disc, standby".
[[nodiscard]] QString statusText(QByteArrayView data);

} // namespace quorvex::deck::mdse
