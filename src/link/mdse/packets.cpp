#include "link/mdse/packets.h"

#include <algorithm>
#include <array>

namespace quorvex::mdse {

namespace {

QByteArray withArgument(const char* hex, int value) {
    return QByteArray::fromHex(hex) + static_cast<char>(value & 0xFF);
}

// Data of a fixed packet and its name; the deck's reports share the commands' group and code where both have
// one.
struct Named {
    const char* hex;
    const char* sent;     // as a command
    const char* received; // as a report
};
constexpr std::array fixed{
    Named{"1003", "REMOTE MODE On", "REMOTE MODE On"},
    Named{"1004", "REMOTE MODE Off", "REMOTE MODE Off"},
    Named{"0102", "POWER On", "POWER On"},
    Named{"0103", "POWER Off", "POWER Off"},
    Named{"0201", "PLAY", "PLAY"},
    Named{"0202", "STOP", "STOP"},
    Named{"0203", "PAUSE", "PAUSE"},
    Named{"0215", "PREV TRACK", "PREV TRACK"},
    Named{"0216", "NEXT TRACK", "NEXT TRACK"},
    Named{"0221", "REC", "REC"},
    Named{"2020", "STATUS REQ", nullptr},
    Named{"2022", "MODEL NAME REQ", nullptr},
    Named{"204401", "TOC DATA REQ", nullptr},
    Named{"204801", "DISC NAME REQ", nullptr},
    Named{"205401", "REC REMAIN REQ", nullptr},
    Named{"2082", nullptr, "DISC EXIST"},
    Named{"2083", nullptr, "1 TRACK END"},
    Named{"2085", nullptr, "NO DISC NAME"},
    Named{"2086", nullptr, "NO TRACK NAME"},
    Named{"2087", nullptr, "WRITE PACKET RECEIVED"},
    Named{"2089", nullptr, "NO TOC DATA"},
    Named{"4001", nullptr, "UNDEFINED COMMAND"},
    Named{"4003", nullptr, "IMPOSSIBLE"},
};

int at(QByteArrayView data, qsizetype index) {
    return index < data.size() ? static_cast<std::uint8_t>(data.at(index)) : 0;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString bytesOf(QByteArrayView data) {
    return QString::fromLatin1(data.toByteArray().toHex(' ').toUpper());
}

// The bytes of `data` from `start` up to the first 00, as text.
QString textFrom(QByteArrayView data, qsizetype start) {
    const QByteArrayView text = data.size() > start ? data.sliced(start) : QByteArrayView();
    const qsizetype end = text.indexOf('\0');
    return QString::fromLatin1(end < 0 ? text : text.first(end));
}

// The name bytes of a name packet (after group, code and packet or track number).
QString nameText(QByteArrayView data) {
    constexpr qsizetype nameStart = 3;
    return textFrom(data, nameStart);
}

// Names of packets that carry values.
QString valuedName(QByteArrayView data) {
    const int group = at(data, 0);
    const int code = at(data, 1);
    if (group != 0x20) {
        return {};
    }
    switch (code) {
    case 0x20:
        return QStringLiteral("STATUS %1").arg(bytesOf(data.sliced(2)));
    case 0x22:
        return QStringLiteral("MODEL NAME \"%1\"").arg(textFrom(data, 2));
    case 0x45:
        return QStringLiteral("TRACK NO. TIME REQ %1").arg(at(data, 3));
    case 0x48:
    case 0x49:
        return QStringLiteral("DISC NAME %1 \"%2\"").arg(at(data, 2)).arg(nameText(data));
    case 0x4A:
        return data.size() <= 3 ? QStringLiteral("TRACK NO. NAME REQ %1").arg(at(data, 2))
                                : QStringLiteral("TRACK NAME %1 \"%2\"").arg(at(data, 2)).arg(nameText(data));
    case 0x4B:
        return QStringLiteral("TRACK NAME packet %1 \"%2\"").arg(at(data, 2)).arg(nameText(data));
    case 0x54:
        return QStringLiteral("REC REMAIN %1:%2").arg(twoDigits(at(data, 3)), twoDigits(at(data, 4)));
    case 0x55:
        return data.size() <= 4 ? QStringLiteral("NAME REMAIN REQ %1").arg(at(data, 3))
                                : QStringLiteral("NAME REMAIN %1: %2")
                                      .arg(at(data, 3))
                                      .arg(at(data, 4) * 256 + at(data, 5));
    case 0x60:
        return QStringLiteral("TOC DATA %1-%2, %3:%4")
            .arg(at(data, 3))
            .arg(at(data, 4))
            .arg(twoDigits(at(data, 5)), twoDigits(at(data, 6)));
    case 0x62:
        return QStringLiteral("TRACK TIME %1:%2").arg(twoDigits(at(data, 4)), twoDigits(at(data, 5)));
    case 0x70:
    case 0x72:
        return QStringLiteral("%1 NAME WRITE %2 \"%3\"")
            .arg(code == 0x70 ? QStringLiteral("DISC") : QStringLiteral("TRACK NO."))
            .arg(at(data, 2))
            .arg(nameText(data));
    case 0x71:
    case 0x73:
        return QStringLiteral("%1 NAME WRITE packet %2 \"%3\"")
            .arg(code == 0x71 ? QStringLiteral("DISC") : QStringLiteral("TRACK NO."))
            .arg(at(data, 2))
            .arg(nameText(data));
    default:
        return {};
    }
}

} // namespace

QByteArray packetTo(QByteArrayView data) {
    QByteArray packet;
    packet.reserve(data.size() + framing);
    packet.append(static_cast<char>(toDeck));
    packet.append(static_cast<char>(data.size() + framing));
    packet.append("\x05\x47", 2);
    packet.append(data);
    packet.append(static_cast<char>(packetEnd));
    return packet;
}

namespace command {
QByteArray trackTimeRequest(int track) {
    return withArgument("204501", track);
}
QByteArray trackNameRequest(int track) {
    return withArgument("204A", track);
}
QByteArray nameRemainRequest(int track) {
    return withArgument("205500", track);
}
} // namespace command

std::vector<QByteArray> nameWritePackets(int track, QByteArrayView nameBytes) {
    constexpr int mostPackets = 255;
    const bool disc = track == 0;
    // The name and its end mark: one 00 after a short last packet, sixteen after a full one.
    QByteArray marked =
        nameBytes.first(std::min<qsizetype>(nameBytes.size(), mostPackets * nameBytesPerPacket))
            .toByteArray();
    marked.append(marked.size() % nameBytesPerPacket == 0 ? QByteArray(nameBytesPerPacket, '\0')
                                                          : QByteArray(1, '\0'));
    std::vector<QByteArray> packets;
    for (qsizetype from = 0; from < marked.size() && packets.size() < mostPackets;
         from += nameBytesPerPacket) {
        const bool first = from == 0;
        const QByteArrayView code = disc ? (first ? QByteArrayView("2070") : QByteArrayView("2071"))
                                         : (first ? QByteArrayView("2072") : QByteArrayView("2073"));
        QByteArray data = QByteArray::fromHex(code.toByteArray());
        data.append(static_cast<char>(first ? (disc ? 1 : track) : static_cast<int>(packets.size()) + 1));
        data.append(marked.mid(from, nameBytesPerPacket));
        packets.push_back(data);
    }
    return packets;
}

QString packetName(QByteArrayView data, bool sent) {
    for (const Named& named : fixed) {
        const char* name = sent ? named.sent : named.received;
        if (name != nullptr && data == QByteArray::fromHex(named.hex)) {
            return QString::fromLatin1(name);
        }
    }
    const QString valued = valuedName(data);
    return valued.isEmpty() ? QStringLiteral("unknown %1").arg(bytesOf(data)) : valued;
}

} // namespace quorvex::mdse
