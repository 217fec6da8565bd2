#include "link/controla1/titleframe.h"

#include "link/controla1/commandframe.h"
#include "platform/codepage.h"

#include <algorithm>
#include <QString>
#include <span>

namespace quorvex {

namespace {

constexpr std::size_t titleFieldOffset = 8;
constexpr int highestTrack = 255;

// Spaces only: a tab or a NUL in a name is part of the name.
QStringView trimSpaces(QStringView name) {
    while (name.startsWith(QLatin1Char(' '))) {
        name = name.sliced(1);
    }
    while (name.endsWith(QLatin1Char(' '))) {
        name.chop(1);
    }
    return name;
}

} // namespace

std::optional<TitleFrame> titleFrame(QStringView name, std::int16_t trackNumber) {
    if (trackNumber < 0 || trackNumber > highestTrack) {
        return std::nullopt;
    }
    // Every character becomes exactly one byte, so cutting the encoded bytes after 14 is cutting the name
    // after 14 characters. A character takes at most two UTF-16 units: encode no more than needed.
    constexpr qsizetype longestField = 2 * static_cast<qsizetype>(titleFieldBytes);
    const QByteArray title = toCodePage(trimSpaces(name).left(longestField));
    TitleFrame frame{frameStart, std::tuple_size_v<TitleFrame>,         0x07, 0xB0,
                     0x9A,       static_cast<std::uint8_t>(trackNumber)};
    const auto used = std::min<std::size_t>(static_cast<std::size_t>(title.size()), titleFieldBytes);
    std::transform(title.begin(), title.begin() + static_cast<qsizetype>(used),
                   frame.begin() + titleFieldOffset,
                   [](char byte) { return static_cast<std::uint8_t>(byte); });
    frame.back() = frameEnd;
    return frame;
}

QString titleFieldText(QStringView name) {
    const std::optional<TitleFrame> frame = titleFrame(name, 0);
    const auto field = std::span(*frame).subspan(titleFieldOffset, titleFieldBytes);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return fromCodePage(QByteArrayView(field.data(), end - field.begin()));
}

} // namespace quorvex
