#pragma once

#include <cstdint>
#include <QString>

namespace quorvex {

struct DiscInfo;
struct ReplyWatcher;

// Where the disc-information answer (… 20 60 b1 b2 tracks minutes seconds b6 FF) leaves its values
// in the reply window when its end byte was the last byte received.
inline constexpr std::size_t trackCountSlot = 16;
inline constexpr std::size_t minutesSlot = 17;
inline constexpr std::size_t secondsSlot = 18;
inline constexpr std::int16_t discInfoFirst = 0x20;
inline constexpr std::int16_t discInfoSecond = 0x60;
inline constexpr std::int16_t discInfoDistance = 8;

// "12 Tracks 45m 07s": minutes and seconds with at least two digits.
[[nodiscard]] QString discInfoText(int tracks, int minutes, int seconds);
[[nodiscard]] QString discInfoText(const DiscInfo& disc);
// The disc as told by the newest answer that arrived after a request made when the watcher had counted
// `answersBeforeRequest` answers; with no such answer, what the reply window's slots hold now.
[[nodiscard]] DiscInfo discInfoSince(const ReplyWatcher& watcher, std::uint64_t answersBeforeRequest);

} // namespace quorvex
