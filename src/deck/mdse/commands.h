#pragma once

#include <cstdint>
#include <QByteArrayView>
#include <QString>

namespace quorvex::deck::mdse {

// The commands this deck carries out, by the data bytes of their packets. Written from the deck's side
// on purpose: it is the independent far end the program's packets are checked against.
enum class CommandKind {
    remoteOn,          // 10 03
    remoteOff,         // 10 04
    powerOn,           // 01 02
    powerOff,          // 01 03
    play,              // 02 01
    stop,              // 02 02
    pause,             // 02 03 (on/off)
    pauseOn,           // 02 06
    previousTrack,     // 02 15
    nextTrack,         // 02 16
    record,            // 02 21
    statusRequest,     // 20 20
    discDataRequest,   // 20 21
    modelNameRequest,  // 20 22
    tocDataRequest,    // 20 44 01
    trackTimeRequest,  // 20 45 01 tt
    discNameRequest,   // 20 48 01
    trackNameRequest,  // 20 4A tt
    recRemainRequest,  // 20 54 01
    nameRemainRequest, // 20 55 00 tt (00: the disc)
    discNameWrite,     // 20 70 01 + name bytes
    discNameMore,      // 20 71 pp + name bytes
    trackNameWrite,    // 20 72 tt + name bytes
    trackNameMore,     // 20 73 pp + name bytes
    unknown,
};

// A command and its argument: the track or packet number its data carry, 0 where there is none.
struct Command {
    CommandKind kind = CommandKind::unknown;
    int argument = 0;
    QByteArrayView nameBytes{}; // the name bytes of a name write, a view into the data it came from
};

// Fixed commands must have exactly their length; a name write carries 1 to 16 name bytes after its
// three. Anything else is unknown.
[[nodiscard]] Command commandIn(QByteArrayView data);

// What a log shows for a packet from the computer: "REMOTE MODE On", "TRACK NO. NAME WRITE track 2
// "Intro"", "unknown command 0A 04".
[[nodiscard]] QString commandName(QByteArrayView data);

// Name bytes up to the first 00 as text: ASCII, and A1..DF as the half-width katakana of JIS X 0201 (the
// maker's own name examples use them); any other byte shows as U+FFFD.
[[nodiscard]] QString nameText(QByteArrayView bytes);

} // namespace quorvex::deck::mdse
