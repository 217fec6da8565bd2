#pragma once

#include "deck/mdse/disc.h"

#include <optional>
#include <QByteArray>
#include <QByteArrayView>

namespace quorvex::deck::mdse {

// What came of one name packet.
struct NameStep {
    enum class Kind { refused, taken, finished } kind = Kind::refused;
    int target = 0;    // finished: the track named, 0 for the disc
    QByteArray name{}; // finished: the whole name, as received up to its first 00
};

// Gathers a name from its packets. The first packet starts it, each later one must carry the next packet
// number (2, 3, …), and the first 00 among the name bytes ends it; a later packet that only ends the name
// (its length was a whole number of packets) must be sixteen 00, or one 00 when that is allowed. A wrong
// packet number, a name longer than its room on the disc or a later packet with no name begun are refused,
// and the name begun is dropped.
class NameWriter {
public:
    // target: the track, 0 for the disc.
    [[nodiscard]] NameStep begin(int target, QByteArrayView bytes, const Disc& disc);
    [[nodiscard]] NameStep more(bool forDisc, int packet, QByteArrayView bytes, const Disc& disc,
                                bool singleZeroEnds);
    void cancel() { pending.reset(); }

private:
    struct Pending {
        int target = 0;
        int nextPacket = 2;
        QByteArray name;
    };

    [[nodiscard]] NameStep take(QByteArrayView bytes, const Disc& disc);

    std::optional<Pending> pending;
};

} // namespace quorvex::deck::mdse
