#pragma once

#include "deck/controla1/commands.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <variant>
#include <vector>

namespace quorvex::deck {

// A title frame: track 0 names the disc, track n names track n.
struct Title {
    int track = 0;
    QString text;

    friend bool operator==(const Title&, const Title&) = default;
};

// Bytes that belong to no frame: line garbage, a frame cut short, a frame with a wrong fixed byte.
struct Noise {
    friend bool operator==(const Noise&, const Noise&) = default;
};

using Meaning = std::variant<Command, Title, Noise>;

// One thing taken off the line, with the bytes it was made of.
struct Received {
    QByteArray bytes;
    Meaning meaning;
};

// Turns bytes, in whatever chunks they arrive, into frames and noise. Anything that is not a frame is
// skipped as noise, and the parser picks up again at the next 0x81. It never holds more than the start of
// one frame between calls, so endless garbage costs no memory.
class FrameParser {
public:
    [[nodiscard]] std::vector<Received> feed(QByteArrayView chunk);

    // The bytes kept for the next call: the start of a frame that has not fully arrived.
    [[nodiscard]] qsizetype pendingSize() const { return pending.size(); }

private:
    QByteArray pending;
};

// The text of a title's 14 bytes: Windows-1252 up to the first NUL.
[[nodiscard]] QString titleText(QByteArrayView textBytes);

} // namespace quorvex::deck
