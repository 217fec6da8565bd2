#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <QString>
#include <QStringView>

namespace quorvex {

inline constexpr std::size_t titleFieldBytes = 14;
using TitleFrame = std::array<std::uint8_t, 23>;

// 81 17 07 B0 9A track 00 00, the 14-byte title field, FF. Track 0 names the disc.
// The title field is the name without leading and trailing spaces, cut after 14 characters or padded
// with NUL bytes up to 14. A track number the one byte cannot carry (outside 0..255) gives no frame:
// a wrapped number would name the wrong track.
[[nodiscard]] std::optional<TitleFrame> titleFrame(QStringView name, std::int16_t trackNumber);
// The name as the title field carries it: what the recorder shows.
[[nodiscard]] QString titleFieldText(QStringView name);

} // namespace quorvex
