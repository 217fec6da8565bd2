#pragma once

#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace quorvex::deck::mdse {

// Every packet on an MDS-E line: a header byte (0x7E from the computer, 0x6F from the deck), its own
// total length, the fixed bytes 05 47, 0 to 27 data bytes and the terminator 0xFF. FF, 6F and 7E also
// occur among the data bytes, so a packet is found by its header and length, never by its terminator.
inline constexpr std::uint8_t commandHeader = 0x7E;
inline constexpr std::uint8_t reportHeader = 0x6F;
inline constexpr std::uint8_t formatType = 0x05;
inline constexpr std::uint8_t category = 0x47;
inline constexpr std::uint8_t terminator = 0xFF;
inline constexpr qsizetype shortestPacket = 5;
inline constexpr qsizetype longestPacket = 0x20;
inline constexpr qsizetype dataAt = 4;

// The deck's packet around report data: 6F <length> 05 47 <data> FF. At most 27 data bytes.
[[nodiscard]] QByteArray reportPacket(QByteArrayView data);

// One thing taken off the line: a packet and its data bytes, or bytes that belong to no packet.
struct Received {
    QByteArray bytes;
    std::optional<QByteArray> data; // nothing for noise
};

// Turns the computer's bytes, in whatever chunks they come, into packets and noise. Where the bytes at a
// 7E make no packet (a length outside 05..20, no 05 47 behind it, no FF where its length puts the end), the
// 7E is noise and the search for a header starts again at the byte after it; so a packet cut short is
// found out when the next one arrives and costs nothing of it. At most one unfinished packet (31 bytes)
// is held between calls.
class PacketParser {
public:
    [[nodiscard]] std::vector<Received> feed(QByteArrayView chunk);
    // The line has gone quiet: a packet still unfinished never will be. Its bytes are looked at again
    // without its header, and what they hold comes out.
    [[nodiscard]] std::vector<Received> giveUpPending();

    [[nodiscard]] qsizetype pendingSize() const { return pending.size(); }

private:
    [[nodiscard]] std::vector<Received> scan(const QByteArray& bytes, bool headBroken);

    QByteArray pending;
};

} // namespace quorvex::deck::mdse
