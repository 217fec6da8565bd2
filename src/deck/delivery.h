#pragma once

#include <chrono>
#include <QByteArray>

namespace quorvex::deck {

// How a deck's replies travel down the cable: when they leave, in how many pieces, and what line garbage
// rides with them. Plain values: whole and at once.
struct Delivery {
    std::chrono::milliseconds lateBy{0};    // every reply starts this late
    int splitInto = 1;                      // pieces per reply
    std::chrono::milliseconds splitGap{30}; // between two pieces
    QByteArray noiseBefore{};               // written before each reply, with its first piece
    QByteArray noiseAfter{};                // written right behind each reply, with its last piece
};

} // namespace quorvex::deck
