#include "deck/mdse/namewriter.h"

#include <algorithm>

namespace quorvex::deck::mdse {
namespace {

constexpr qsizetype packetBytes = 16;

bool onlyEndsTheName(QByteArrayView bytes, bool singleZeroEnds) {
    const bool sixteenZeros =
        bytes.size() == packetBytes && std::ranges::all_of(bytes, [](char b) { return b == 0; });
    return sixteenZeros || (singleZeroEnds && bytes.size() == 1 && bytes[0] == 0);
}

} // namespace

NameStep NameWriter::begin(int target, QByteArrayView bytes, const Disc& disc) {
    pending = Pending{target, 2, {}};
    return take(bytes, disc);
}

NameStep NameWriter::more(bool forDisc, int packet, QByteArrayView bytes, const Disc& disc,
                          bool singleZeroEnds) {
    const bool fits = pending && (pending->target == 0) == forDisc && packet == pending->nextPacket &&
                      (bytes.front() != 0 || onlyEndsTheName(bytes, singleZeroEnds));
    if (!fits) {
        pending.reset();
        return {};
    }
    ++pending->nextPacket;
    return take(bytes, disc);
}

NameStep NameWriter::take(QByteArrayView bytes, const Disc& disc) {
    const qsizetype end = bytes.indexOf('\0');
    pending->name.append(end < 0 ? bytes : bytes.first(end));
    if (pending->name.size() > nameRoom(disc, pending->target)) {
        pending.reset();
        return {};
    }
    if (end < 0) {
        return {NameStep::Kind::taken};
    }
    NameStep finished{NameStep::Kind::finished, pending->target, pending->name};
    pending.reset();
    return finished;
}

} // namespace quorvex::deck::mdse
