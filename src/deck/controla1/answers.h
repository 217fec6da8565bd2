#pragma once

#include "deck/controla1/commands.h"
#include "deck/controla1/disc.h"

#include <optional>
#include <QByteArray>

namespace quorvex::deck {

// The three commands the recorder answers.
enum class Answer { record, stop, discInformation };

struct AnswerFrame {
    Answer kind;
    QByteArray bytes;
};

// The answer the recorder gives to a command, with the disc as it is now; nothing for the commands it
// carries out without a word (on, off, play, back, forward).
[[nodiscard]] std::optional<AnswerFrame> answerTo(Command command, const Disc& disc);

// 81 07 05 48 <category> <code> FF: the command frame sent back with 0x48 in place of 0x47.
[[nodiscard]] QByteArray acknowledgement(Command command);

// 81 0D 05 48 20 60 01 00 <tracks> <minutes> <seconds> 00 FF, each value held to one byte (0..255).
[[nodiscard]] QByteArray discInformationAnswer(const Disc& disc);

} // namespace quorvex::deck
