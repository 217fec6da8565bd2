#pragma once

#include <cstdint>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// The RS-232C packets of the MDS-E11, MDS-E12 and MDS-E52 decks: 7E (to the deck) or 6F (from it), the
// packet's own length, 05 47, the data (a group byte, a code byte, arguments), FF.
namespace quorvex::mdse {

inline constexpr std::uint8_t toDeck = 0x7E;
inline constexpr std::uint8_t fromDeck = 0x6F;
inline constexpr std::uint8_t packetEnd = 0xFF;
inline constexpr qsizetype framing = 5; // header, length, 05, 47 and the end byte around the data
inline constexpr qsizetype shortestPacket = framing;
inline constexpr qsizetype longestPacket = 0x20;
inline constexpr qsizetype nameBytesPerPacket = 16;

// A whole packet to the deck around `data`.
[[nodiscard]] QByteArray packetTo(QByteArrayView data);

// The data of the commands Quorvex sends.
namespace command {
inline const QByteArray remoteOn = QByteArray::fromHex("1003");
inline const QByteArray remoteOff = QByteArray::fromHex("1004");
inline const QByteArray powerOn = QByteArray::fromHex("0102");
inline const QByteArray powerOff = QByteArray::fromHex("0103");
inline const QByteArray play = QByteArray::fromHex("0201");
inline const QByteArray stop = QByteArray::fromHex("0202");
inline const QByteArray previousTrack = QByteArray::fromHex("0215");
inline const QByteArray nextTrack = QByteArray::fromHex("0216");
inline const QByteArray rec = QByteArray::fromHex("0221");
inline const QByteArray statusRequest = QByteArray::fromHex("2020");
inline const QByteArray modelNameRequest = QByteArray::fromHex("2022");
inline const QByteArray tocRequest = QByteArray::fromHex("204401");
inline const QByteArray discNameRequest = QByteArray::fromHex("204801");
inline const QByteArray recRemainRequest = QByteArray::fromHex("205401");
[[nodiscard]] QByteArray trackTimeRequest(int track);
[[nodiscard]] QByteArray trackNameRequest(int track);
[[nodiscard]] QByteArray nameRemainRequest(int track); // track 0: the disc
} // namespace command

// A name as the packets that write it, each packet's data: the first (20 70 01 for the disc, 20 72 tt for a
// track) and the continuations (20 71 pp / 20 73 pp, pp from 2), 16 name bytes each at most; the name ends
// with one 00 after a short last packet, or with a packet of sixteen 00 when its length is a multiple of 16
// (an empty name is one packet of sixteen 00). At most 255 packets: a longer name is cut.
[[nodiscard]] std::vector<QByteArray> nameWritePackets(int track, QByteArrayView nameBytes);

// What the trace calls a packet's data, either way: "REMOTE MODE On", "STATUS 01 A0 01 01 00",
// "TOC DATA 1-4, 00:12", "TRACK NO. NAME WRITE 2 "Coda"", ...
[[nodiscard]] QString packetName(QByteArrayView data, bool sent);

} // namespace quorvex::mdse
