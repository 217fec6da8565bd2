#pragma once

#include "deck/delivery.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>
#include <QByteArray>

namespace quorvex::deck::mdse {

// The ways an MDS-E deck or its cable lets the program down, to be switched on at will. Where a fault
// names "the n-th" report, counting starts when the faults are set, and 0 means every one.
struct Faults {
    bool silent = false;                    // sends nothing at all
    std::chrono::milliseconds lateBy{0};    // every report starts this late
    int splitInto = 1;                      // pieces per report
    std::chrono::milliseconds splitGap{30}; // between two pieces
    QByteArray noiseBefore{};               // written before each report, with its first piece
    QByteArray noiseAfter{};                // written right behind each report, with its last piece
    std::optional<int> closeAfterPackets{}; // hang up once this many packets have arrived
    std::optional<int> loseRecReport{};     // the n-th REC report (02 21) never leaves; recording goes on
    std::optional<int> loseWriteAck{};      // the n-th WRITE PACKET RECEIVED never leaves; the name is kept
    std::optional<int> garbleReply{};       // the n-th report leaves with its bytes after the length inverted
    bool refuseRec = false;                 // REC is answered IMPOSSIBLE
    bool inputNeverLocks = false;           // the digital input stays unlocked
    std::optional<int> fullAfterSeconds{};  // the disc is full after this much recording from now on
    // The TOC DATA, TRACK NO. TIME, TRACK NO. NAME and DISC NAME requests go unanswered once a recording
    // has started; the TOC DATA the deck sends of its own accord after a recording still goes.
    ReadBackFaults readBack{};

    // How the reports travel: a Faults serves wherever a Delivery is asked for.
    operator Delivery() const { return {lateBy, splitInto, splitGap, noiseBefore, noiseAfter}; }

    friend bool operator==(const Faults&, const Faults&) = default;
};

// Whether the count-th event is hit by a fault for "the n-th" (0: every one).
[[nodiscard]] inline bool hits(const std::optional<int>& nth, int count) {
    return nth && (*nth == 0 || *nth == count);
}

} // namespace quorvex::deck::mdse
