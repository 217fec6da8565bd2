#pragma once

#include "deck/controla1/answers.h"
#include "deck/delivery.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>
#include <QByteArray>
#include <set>

namespace quorvex::deck {

// The ways a real recorder or its cable lets the program down, to be switched on at will.
struct Faults {
    bool silent = false;                          // answers nothing at all
    std::optional<std::set<Answer>> answerOnly{}; // nullopt: answers all three
    std::chrono::milliseconds lateBy{0};          // every answer starts this late
    int splitInto = 1;                            // pieces per answer
    std::chrono::milliseconds splitGap{30};       // between two pieces
    QByteArray noiseBefore{};                     // written before each answer, with its first piece
    QByteArray noiseAfter{};                      // written right behind each answer, with its last piece
    std::optional<int> closeAfterFrames{};        // hang up once this many frames have arrived
    // The disc-information request goes unanswered once a record command has arrived; the title a fault
    // changes shows in the disc and the log only, as no answer of this interface reports titles.
    ReadBackFaults readBack{};

    // How the answers travel: a Faults serves wherever a Delivery is asked for.
    operator Delivery() const { return {lateBy, splitInto, splitGap, noiseBefore, noiseAfter}; }
};

[[nodiscard]] bool isAnswered(const Faults& faults, Answer kind);

} // namespace quorvex::deck
