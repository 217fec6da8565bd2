#include "deck/controla1/answers.h"

#include "deck/controla1/frameformat.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quorvex::deck {
namespace {

char byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(std::clamp(value, 0, 255)));
}

template <std::size_t n> QByteArray bytesOf(const std::array<char, n>& frame) {
    return {frame.data(), static_cast<qsizetype>(frame.size())};
}

} // namespace

std::optional<AnswerFrame> answerTo(Command command, const Disc& disc) {
    if (command == commands::record) {
        return AnswerFrame{Answer::record, acknowledgement(command)};
    }
    if (command == commands::stop) {
        return AnswerFrame{Answer::stop, acknowledgement(command)};
    }
    if (command == commands::discInformation) {
        return AnswerFrame{Answer::discInformation, discInformationAnswer(disc)};
    }
    return std::nullopt;
}

QByteArray acknowledgement(Command command) {
    const std::array<char, commandLength> frame{
        byte(frameStart),       byte(commandLength), 0x05,          byte(fromRecorder),
        byte(command.category), byte(command.code),  byte(frameEnd)};
    return bytesOf(frame);
}

QByteArray discInformationAnswer(const Disc& disc) {
    // 20 60 says "disc information"; 01 00 are fixed; the trailing 00 is a reserved byte before the end.
    constexpr int length = 13;
    const std::array<char, length> frame{byte(frameStart),
                                         byte(length),
                                         0x05,
                                         byte(fromRecorder),
                                         0x20,
                                         0x60,
                                         0x01,
                                         0x00,
                                         byte(disc.tracks),
                                         byte(disc.minutes),
                                         byte(disc.seconds),
                                         0x00,
                                         byte(frameEnd)};
    return bytesOf(frame);
}

} // namespace quorvex::deck
