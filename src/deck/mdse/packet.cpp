#include "deck/mdse/packet.h"

#include <cassert>
#include <utility>

namespace quorvex::deck::mdse {
namespace {

enum class Verdict { partial, broken, whole };

std::uint8_t byteAt(QByteArrayView bytes, qsizetype at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

// What the bytes from a header on amount to so far; each check is made as soon as its byte is there.
Verdict judge(QByteArrayView fromHeader) {
    if (byteAt(fromHeader, 0) != commandHeader) {
        return Verdict::broken;
    }
    if (fromHeader.size() < 2) {
        return Verdict::partial;
    }
    const qsizetype length = byteAt(fromHeader, 1);
    if (length < shortestPacket || length > longestPacket) {
        return Verdict::broken;
    }
    if ((fromHeader.size() > 2 && byteAt(fromHeader, 2) != formatType) ||
        (fromHeader.size() > 3 && byteAt(fromHeader, 3) != category)) {
        return Verdict::broken;
    }
    if (fromHeader.size() < length) {
        return Verdict::partial;
    }
    return byteAt(fromHeader, length - 1) == terminator ? Verdict::whole : Verdict::broken;
}

} // namespace

QByteArray reportPacket(QByteArrayView data) {
    assert(data.size() <= longestPacket - shortestPacket);
    QByteArray packet;
    packet.reserve(data.size() + shortestPacket);
    packet.append(static_cast<char>(reportHeader));
    packet.append(static_cast<char>(data.size() + shortestPacket));
    packet.append(static_cast<char>(formatType));
    packet.append(static_cast<char>(category));
    packet.append(data);
    packet.append(static_cast<char>(terminator));
    return packet;
}

std::vector<Received> PacketParser::feed(QByteArrayView chunk) {
    return scan(pending + chunk.toByteArray(), false);
}

std::vector<Received> PacketParser::giveUpPending() {
    return scan(std::exchange(pending, {}), true);
}

std::vector<Received> PacketParser::scan(const QByteArray& bytes, bool headBroken) {
    const QByteArrayView line(bytes);
    std::vector<Received> received;
    QByteArray noise;
    qsizetype at = 0;
    pending.clear();
    while (at < line.size()) {
        const Verdict verdict = headBroken ? Verdict::broken : judge(line.sliced(at));
        headBroken = false;
        if (verdict == Verdict::partial) {
            pending = line.sliced(at).toByteArray();
            break;
        }
        if (verdict == Verdict::whole) {
            if (!noise.isEmpty()) {
                received.push_back({std::exchange(noise, {}), std::nullopt});
            }
            const qsizetype length = byteAt(line, at + 1);
            received.push_back({line.sliced(at, length).toByteArray(),
                                line.sliced(at + dataAt, length - shortestPacket).toByteArray()});
            at += length;
            continue;
        }
        // Not a packet here: this byte is noise, and so is everything up to the next header.
        qsizetype next = line.indexOf(static_cast<char>(commandHeader), at + 1);
        if (next < 0) {
            next = line.size();
        }
        noise.append(line.sliced(at, next - at));
        at = next;
    }
    if (!noise.isEmpty()) {
        received.push_back({noise, std::nullopt});
    }
    return received;
}

} // namespace quorvex::deck::mdse
