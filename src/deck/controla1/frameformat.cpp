#include "deck/controla1/frameformat.h"

#include <algorithm>

namespace quorvex::deck {
namespace {

bool fitsCommand(qsizetype at, std::uint8_t byte) {
    switch (at) {
    case 2:
        return byte == 0x05;
    case 3:
        return byte == toRecorder;
    case commandLength - 1:
        return byte == frameEnd;
    default: // the category and code may be anything: an unknown command is still a frame
        return true;
    }
}

bool fitsTitle(qsizetype at, std::uint8_t byte) {
    switch (at) {
    case 2:
        return byte == 0x07;
    case 3:
        return byte == 0xB0;
    case 4:
        return byte == 0x9A;
    case titleTrackAt:
        return true;
    case 6:
    case 7:
        return byte == 0x00;
    case titleLength - 1:
        return byte == frameEnd;
    default:
        // 0x81 is no character in Windows-1252, so inside the title text it can only be the start of the
        // next frame: this title was cut short. Giving up here keeps the next frame from being swallowed.
        return byte != frameStart;
    }
}

} // namespace

Candidate judge(QByteArrayView fromStart) {
    if (fromStart.isEmpty() || static_cast<std::uint8_t>(fromStart[0]) != frameStart) {
        return Candidate::broken;
    }
    if (fromStart.size() < 2) {
        return Candidate::partial;
    }
    const auto lengthByte = static_cast<std::uint8_t>(fromStart[1]);
    const bool isCommand = lengthByte == commandLength;
    if (!isCommand && lengthByte != titleLength) {
        return Candidate::broken;
    }
    const qsizetype length = isCommand ? commandLength : titleLength;
    const qsizetype seen = std::min(fromStart.size(), length);
    for (qsizetype at = 2; at < seen; ++at) {
        const auto byte = static_cast<std::uint8_t>(fromStart[at]);
        if (!(isCommand ? fitsCommand(at, byte) : fitsTitle(at, byte))) {
            return Candidate::broken;
        }
    }
    if (seen < length) {
        return Candidate::partial;
    }
    return isCommand ? Candidate::command : Candidate::title;
}

qsizetype frameLength(Candidate whole) {
    return whole == Candidate::title ? titleLength : commandLength;
}

} // namespace quorvex::deck
