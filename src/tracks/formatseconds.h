#pragma once

#include <chrono>
#include <optional>
#include <QString>

namespace quorvex {

// "MM:SS" for the Status line: whole minutes (truncated), then the seconds rounded to the nearest whole
// number with halves to even, modulo 60. So 59.5 gives "00:00", 61.5 "01:02" and 6000 "100:00".
// A time that is no number (a duration the player does not know yet) shows as "00:00".
[[nodiscard]] QString formatSeconds(double seconds);

// A file's or a disc's length as "MM:SS", rounded to the nearest whole second first (59.6 s is "01:00",
// where the Status line's rule above shows "00:00"); `unknown` when there is no length.
[[nodiscard]] QString formatLength(std::optional<std::chrono::milliseconds> length,
                                   const QString& unknown = QStringLiteral("?"));

} // namespace quorvex
