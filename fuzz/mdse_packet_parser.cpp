// The MDS-E deck's packet parser on any bytes in any chunks: nothing is lost or invented (what it hands out
// plus what it keeps is what came in), it keeps less than one packet, every packet runs from 7E over its
// own length to FF with 05 47 in place and its data between, and the packets found do not depend on how
// the bytes were split. Giving up what is kept hands all of it out.
#include "deck/mdse/packet.h"
#include "fuzzcheck.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <QByteArrayList>

namespace {

using quorvex::deck::mdse::PacketParser;
using quorvex::deck::mdse::Received;

// Checks each item and adds its bytes to `handedOut`, a packet's also to `packets`.
void take(const std::vector<Received>& received, QByteArray& handedOut, QByteArrayList& packets) {
    for (const Received& item : received) {
        FUZZ_CHECK(!item.bytes.isEmpty());
        handedOut.append(item.bytes);
        if (!item.data) {
            continue;
        }
        const QByteArray& packet = item.bytes;
        FUZZ_CHECK(packet.size() >= 5 && packet.size() <= 32);
        FUZZ_CHECK(static_cast<std::uint8_t>(packet[0]) == 0x7E && packet[1] == packet.size());
        FUZZ_CHECK(packet[2] == 0x05 && packet[3] == 0x47 &&
                   static_cast<std::uint8_t>(packet.back()) == 0xFF);
        FUZZ_CHECK(*item.data == packet.sliced(4, packet.size() - 5));
        packets.append(packet);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    PacketParser parser;
    QByteArray sent;
    QByteArray handedOut;
    QByteArrayList packets;
    while (input.remaining_bytes() > 0) {
        const std::string chunk = input.ConsumeRandomLengthString(64);
        sent.append(chunk.data(), static_cast<qsizetype>(chunk.size()));
        take(parser.feed(QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size()))), handedOut,
             packets);
        FUZZ_CHECK(parser.pendingSize() < 32);
        FUZZ_CHECK(sent.size() == handedOut.size() + parser.pendingSize());
        FUZZ_CHECK(sent.startsWith(handedOut));
    }

    PacketParser whole;
    QByteArray wholeOut;
    QByteArrayList packetsAtOnce;
    take(whole.feed(sent), wholeOut, packetsAtOnce);
    FUZZ_CHECK(packets == packetsAtOnce);

    take(parser.giveUpPending(), handedOut, packets);
    FUZZ_CHECK(handedOut.size() + parser.pendingSize() == sent.size());
    return 0;
}
