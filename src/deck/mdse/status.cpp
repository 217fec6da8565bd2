#include "deck/mdse/status.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <QStringList>

namespace quorvex::deck::mdse {
namespace {

constexpr std::uint8_t noDisc = 0x20;
constexpr std::uint8_t standby = 0x10;
constexpr std::uint8_t tocRead = 0x80;
constexpr std::uint8_t recordingPossible = 0x20;
constexpr std::uint8_t opticalInput = 0x03;
constexpr std::uint8_t inputUnlocked = 0x20;

constexpr std::array<std::pair<Mode, std::uint8_t>, 5> modeCodes{{
    {Mode::stop, 0x0},
    {Mode::play, 0x1},
    {Mode::playPause, 0x2},
    {Mode::record, 0x4},
    {Mode::recordPause, 0x5},
}};

std::uint8_t modeCode(Mode mode) {
    return std::ranges::find(modeCodes, mode, &std::pair<Mode, std::uint8_t>::first)->second;
}

} // namespace

QString modeName(Mode mode) {
    switch (mode) {
    case Mode::stop:
        return QStringLiteral("stop");
    case Mode::play:
        return QStringLiteral("play");
    case Mode::playPause:
        return QStringLiteral("play-pause");
    case Mode::recordPause:
        return QStringLiteral("rec-pause");
    case Mode::record:
        return QStringLiteral("rec");
    }
    return {};
}

QByteArray statusReport(const Status& status) {
    const auto d1 = static_cast<std::uint8_t>((status.discIn ? 0 : noDisc) |
                                              (status.poweredOn ? 0 : standby) | modeCode(status.mode));
    const auto d2 = static_cast<std::uint8_t>((status.tocRead ? tocRead : 0) |
                                              (status.recordable ? recordingPossible : 0));
    const auto d3 = static_cast<std::uint8_t>(opticalInput | (status.inputLocked ? 0 : inputUnlocked));
    const std::array<char, 7> data{0x20,
                                   0x20,
                                   static_cast<char>(d1),
                                   static_cast<char>(d2),
                                   static_cast<char>(d3),
                                   static_cast<char>(std::clamp(status.track, 0, 255)),
                                   0x00};
    return {data.data(), static_cast<qsizetype>(data.size())};
}

QString statusText(QByteArrayView data) {
    if (data.size() != 7) {
        return QStringLiteral("of an unknown layout");
    }
    const auto d1 = static_cast<std::uint8_t>(data[2]);
    const auto d2 = static_cast<std::uint8_t>(data[3]);
    const auto d3 = static_cast<std::uint8_t>(data[4]);
    const auto* const mode = std::ranges::find(modeCodes, static_cast<std::uint8_t>(d1 & 0x0F),
                                               &std::pair<Mode, std::uint8_t>::second);
    QStringList parts{mode != modeCodes.end() ? modeName(mode->first)
                                              : QStringLiteral("mode %1").arg(d1 & 0x0F)};
    if ((d1 & noDisc) != 0) {
        parts.append(QStringLiteral("no disc"));
    }
    if ((d1 & standby) != 0) {
        parts.append(QStringLiteral("standby"));
    }
    if ((d1 & noDisc) == 0 && (d2 & tocRead) == 0) {
        parts.append(QStringLiteral("TOC not read"));
    }
    parts.append(QStringLiteral("track %1").arg(static_cast<std::uint8_t>(data[5])));
    if ((d3 & inputUnlocked) != 0) {
        parts.append(QStringLiteral("input unlocked"));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace quorvex::deck::mdse
