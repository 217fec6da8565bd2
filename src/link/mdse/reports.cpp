#include "link/mdse/reports.h"

#include "link/mdse/packets.h"

#include <array>
#include <utility>

namespace quorvex::mdse {

namespace {

int byteAt(QByteArrayView data, qsizetype index) {
    return index < data.size() ? static_cast<std::uint8_t>(data.at(index)) : 0;
}

constexpr std::array<std::pair<const char*, Report::Kind>, 15> fixedReports{{
    {"1003", Report::Kind::remoteMode},
    {"1004", Report::Kind::remoteMode},
    {"0102", Report::Kind::power},
    {"0103", Report::Kind::power},
    {"0201", Report::Kind::play},
    {"0202", Report::Kind::stop},
    {"0203", Report::Kind::pause},
    {"0221", Report::Kind::rec},
    {"2082", Report::Kind::discExist},
    {"2085", Report::Kind::noDiscName},
    {"2086", Report::Kind::noTrackName},
    {"2087", Report::Kind::writePacketReceived},
    {"2089", Report::Kind::noToc},
    {"4001", Report::Kind::undefinedCommand},
    {"4003", Report::Kind::impossible},
}};

} // namespace

std::vector<QByteArray> PacketReader::take(QByteArrayView bytes) {
    pending.append(bytes);
    std::vector<QByteArray> packets;
    qsizetype at = 0;
    while (at < pending.size()) {
        if (static_cast<std::uint8_t>(pending.at(at)) != fromDeck) {
            ++at;
            continue;
        }
        if (pending.size() - at < 2) {
            break;
        }
        const qsizetype length = byteAt(pending, at + 1);
        if (length < shortestPacket || length > longestPacket) {
            ++at;
            continue;
        }
        if (pending.size() - at < length) {
            break;
        }
        const QByteArrayView packet = QByteArrayView(pending).sliced(at, length);
        if (byteAt(packet, 2) != 0x05 || byteAt(packet, 3) != 0x47 ||
            byteAt(packet, length - 1) != packetEnd) {
            ++at; // a bad frame: its first byte goes, the search starts again after it
            continue;
        }
        packets.push_back(packet.sliced(4, length - framing).toByteArray());
        at += length;
    }
    pending.remove(0, at);
    return packets;
}

DeckStatus::Mode DeckStatus::mode() const {
    switch (data1 & 0x0F) {
    case 0x0:
        return Mode::stop;
    case 0x1:
        return Mode::play;
    case 0x2:
        return Mode::pause;
    case 0x3:
        return Mode::open;
    case 0x4:
        return Mode::recording;
    case 0x5:
        return Mode::recordPause;
    case 0x6:
        return Mode::rehearsal;
    default:
        return Mode::other;
    }
}

Report readReport(QByteArrayView data) {
    Report report;
    report.data = data.toByteArray();
    for (const auto& [hex, kind] : fixedReports) {
        if (data == QByteArray::fromHex(hex)) {
            report.kind = kind;
            return report;
        }
    }
    if (byteAt(data, 0) != 0x20) {
        return report;
    }
    constexpr qsizetype statusLength = 7;
    constexpr qsizetype modelLength = 16;
    constexpr qsizetype tocLength = 8;
    constexpr qsizetype timeLength = 6;
    constexpr qsizetype remainLength = 5;
    constexpr qsizetype nameRemainLength = 6;
    constexpr qsizetype namePacketLength = 3 + nameBytesPerPacket;
    const int code = byteAt(data, 1);
    if (code == 0x20 && data.size() >= statusLength) {
        report.kind = Report::Kind::status;
        report.status = {static_cast<std::uint8_t>(byteAt(data, 2)),
                         static_cast<std::uint8_t>(byteAt(data, 3)),
                         static_cast<std::uint8_t>(byteAt(data, 4))};
    } else if (code == 0x22 && data.size() >= modelLength) {
        report.kind = Report::Kind::modelName;
        const QByteArrayView name = data.sliced(2, modelLength - 2);
        const qsizetype end = name.indexOf('\0');
        report.text = QString::fromLatin1(end < 0 ? name : name.first(end)).trimmed();
    } else if (code == 0x60 && data.size() >= tocLength) {
        report.kind = Report::Kind::toc;
        report.first = byteAt(data, 3);
        report.last = byteAt(data, 4);
        report.minutes = byteAt(data, 5);
        report.seconds = byteAt(data, 6);
    } else if (code == 0x62 && data.size() >= timeLength) {
        report.kind = Report::Kind::trackTime;
        report.minutes = byteAt(data, 4);
        report.seconds = byteAt(data, 5);
    } else if (code == 0x54 && data.size() >= remainLength) {
        report.kind = Report::Kind::recRemain;
        report.minutes = byteAt(data, 3);
        report.seconds = byteAt(data, 4);
    } else if (code == 0x55 && data.size() >= nameRemainLength) {
        report.kind = Report::Kind::nameRemain;
        report.number = byteAt(data, 3);
        report.count = byteAt(data, 4) * 256 + byteAt(data, 5);
    } else if ((code >= 0x48 && code <= 0x4B) && data.size() >= namePacketLength) {
        report.kind = code <= 0x49 ? Report::Kind::discName : Report::Kind::trackName;
        report.number = byteAt(data, 2);
        report.nameBytes = data.sliced(3, nameBytesPerPacket).toByteArray();
    }
    return report;
}

} // namespace quorvex::mdse
