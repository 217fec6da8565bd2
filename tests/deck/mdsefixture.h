#pragma once

#include "deck/mdse/disc.h"
#include "deckfixture.h"

#include <string>
#include <vector>

// What the MDS-E deck's tests share: packets written out by hand from their layout, bytes as hex text, and
// a disc to start from.
namespace quorvex::deck::testing {

// "20 72 02" → the bytes.
inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// Bytes as the tests write them down: "6F 07 05 47 10 03 FF".
inline std::string hexOf(QByteArrayView bytes) {
    return bytes.toByteArray().toHex(' ').toUpper().toStdString();
}

inline std::vector<std::string> hexOf(const std::vector<QByteArray>& list) {
    std::vector<std::string> texts;
    texts.reserve(list.size());
    for (const QByteArray& bytes : list) {
        texts.push_back(hexOf(bytes));
    }
    return texts;
}

// 7E <length> 05 47 <data> FF, and the deck's 6F … FF.
inline QByteArray commandPacket(const QByteArray& data) {
    return bytes({0x7E, static_cast<int>(data.size()) + 5, 0x05, 0x47}) + data + bytes({0xFF});
}
inline QByteArray reportPacket(const QByteArray& data) {
    return bytes({0x6F, static_cast<int>(data.size()) + 5, 0x05, 0x47}) + data + bytes({0xFF});
}

// The hex of a STATUS report around its data bytes D1 D2 D3 X4: "20 20 <those> 00".
inline std::string status(const std::string& middle) {
    return "20 20 " + middle + " 00";
}

// A name as a report carries it: padded with 00 to 16 bytes (a model name: 14).
inline std::string padded(const char* name, qsizetype size = 16) {
    const QByteArray text(name);
    return hexOf(text + QByteArray(size - text.size(), '\0'));
}

// Two tracks, 1:00 ("One") and 2:30 (no name), the disc named "Mix", 74 minutes: 3:30 recorded.
inline mdse::Disc twoTracks() {
    using namespace std::chrono_literals;
    mdse::Disc disc;
    disc.name = "Mix";
    disc.tracks = {{60s, "One"}, {150s, {}}};
    return disc;
}

} // namespace quorvex::deck::testing
