#include "deck/mdse/reports.h"

#include "deck/hex.h"
#include "deck/mdse/commands.h"
#include "deck/mdse/status.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace quorvex::deck::mdse {
namespace {

constexpr qsizetype namePacketBytes = 16;
constexpr qsizetype modelNameBytes = 14;

char byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(std::clamp(value, 0, 255)));
}

QByteArray dataOf(std::initializer_list<int> values) {
    QByteArray data;
    for (const int value : values) {
        data.append(byte(value));
    }
    return data;
}

std::pair<int, int> minutesSeconds(std::chrono::milliseconds time) {
    const auto seconds = static_cast<int>(std::chrono::floor<std::chrono::seconds>(time).count());
    return {std::max(seconds, 0) / 60, std::max(seconds, 0) % 60};
}

QString timeText(QByteArrayView minutesThenSeconds) {
    return QStringLiteral("%1:%2")
        .arg(static_cast<std::uint8_t>(minutesThenSeconds[0]))
        .arg(static_cast<std::uint8_t>(minutesThenSeconds[1]), 2, 10, QLatin1Char('0'));
}

std::vector<QByteArray> nameReports(QByteArrayView name, int firstCode, int third) {
    std::vector<QByteArray> packets;
    for (qsizetype at = 0; at <= name.size(); at += namePacketBytes) {
        const qsizetype taken = std::min(namePacketBytes, name.size() - at);
        const bool first = packets.empty();
        QByteArray data = dataOf(
            {0x20, first ? firstCode : firstCode + 1, first ? third : static_cast<int>(packets.size()) + 1});
        data.append(name.sliced(at, taken));
        data.append(QByteArray(namePacketBytes - taken, '\0'));
        packets.push_back(std::move(data));
    }
    return packets;
}

// The reports that say no more than their two bytes.
const std::array<std::pair<const QByteArray*, const char*>, 17> fixedReports{{
    {&reports::remoteOn, "REMOTE MODE On"},
    {&reports::remoteOff, "REMOTE MODE Off"},
    {&reports::powerOn, "POWER On"},
    {&reports::powerOff, "POWER Off"},
    {&reports::play, "PLAY"},
    {&reports::stop, "STOP"},
    {&reports::pause, "PAUSE"},
    {&reports::rec, "REC"},
    {&reports::recPause, "REC PAUSE"},
    {&reports::discExist, "DISC EXIST"},
    {&reports::trackEnd, "1 TRACK END"},
    {&reports::noDiscName, "NO DISC NAME"},
    {&reports::noTrackName, "NO TRACK NAME"},
    {&reports::writePacketReceived, "WRITE PACKET RECEIVED"},
    {&reports::noTocData, "NO TOC DATA"},
    {&reports::undefinedCommand, "UNDEFINED COMMAND"},
    {&reports::impossible, "IMPOSSIBLE"},
}};

QString valueReportName(QByteArrayView data) {
    const auto at = [&data](qsizetype index) { return static_cast<std::uint8_t>(data[index]); };
    const auto code = at(1);
    if (code == 0x20) {
        return QStringLiteral("STATUS ") + statusText(data);
    }
    if (code == 0x21 && data.size() == 7) {
        return (at(3) & 0x04) != 0 ? QStringLiteral("DISC DATA record-protected")
                                   : QStringLiteral("DISC DATA recordable");
    }
    if (code == 0x22) {
        return QStringLiteral("MODEL NAME ") + nameText(data.sliced(2));
    }
    if (code == 0x60 && data.size() == 8) {
        return QStringLiteral("TOC DATA tracks %1-%2, %3")
            .arg(at(3))
            .arg(at(4))
            .arg(timeText(data.sliced(5, 2)));
    }
    if (code == 0x62 && data.size() == 6) {
        return QStringLiteral("TRACK TIME DATA ") + timeText(data.sliced(4, 2));
    }
    if (code == 0x54 && data.size() == 5) {
        return QStringLiteral("REC REMAIN ") + timeText(data.sliced(3, 2));
    }
    if (code == 0x55 && data.size() == 6) {
        return QStringLiteral("NAME REMAIN track %1: %2").arg(at(3)).arg(at(4) * 256 + at(5));
    }
    if (code >= 0x48 && code <= 0x4B && data.size() > 3) {
        const QString what = code < 0x4A ? QStringLiteral("DISC NAME") : QStringLiteral("TRACK NAME");
        const QString where =
            code == 0x4A ? QStringLiteral("track %1").arg(at(2)) : QStringLiteral("packet %1").arg(at(2));
        return QStringLiteral("%1 %2 \"%3\"").arg(what, where, nameText(data.sliced(3)));
    }
    return QStringLiteral("report ") + hexBytes(data);
}

} // namespace

QByteArray discDataReport(bool writeProtected) {
    return dataOf({0x20, 0x21, 0x00, writeProtected ? 0x05 : 0x01, 0x00, 0x00, 0x00});
}

QByteArray modelNameReport(QByteArrayView name) {
    const QByteArrayView kept = name.first(std::min(name.size(), modelNameBytes));
    return dataOf({0x20, 0x22}) + kept.toByteArray() + QByteArray(modelNameBytes - kept.size(), '\0');
}

QByteArray tocDataReport(int tracks, std::chrono::milliseconds recorded) {
    const auto [minutes, seconds] = minutesSeconds(recorded);
    return dataOf({0x20, 0x60, 0x01, tracks > 0 ? 1 : 0, tracks, minutes, seconds, 0x00});
}

QByteArray trackTimeReport(std::chrono::milliseconds length) {
    const auto [minutes, seconds] = minutesSeconds(length);
    return dataOf({0x20, 0x62, 0x01, 0x00, minutes, seconds});
}

QByteArray recRemainReport(std::chrono::milliseconds left) {
    const auto [minutes, seconds] = minutesSeconds(left);
    return dataOf({0x20, 0x54, 0x01, minutes, seconds});
}

QByteArray nameRemainReport(int track, int characters) {
    const int count = std::clamp(characters, 0, 0xFFFF);
    return dataOf({0x20, 0x55, 0x00, track, count / 256, count % 256});
}

std::vector<QByteArray> discNameReports(QByteArrayView name) {
    return nameReports(name, 0x48, 0x01);
}

std::vector<QByteArray> trackNameReports(int track, QByteArrayView name) {
    return nameReports(name, 0x4A, track);
}

QString reportName(QByteArrayView data) {
    for (const auto& [report, name] : fixedReports) {
        if (data == *report) {
            return QString::fromLatin1(name);
        }
    }
    if (data.size() >= 2 && static_cast<std::uint8_t>(data[0]) == 0x20) {
        return valueReportName(data);
    }
    return QStringLiteral("report ") + hexBytes(data);
}

} // namespace quorvex::deck::mdse
