#pragma once

#include <array>
#include <cstdint>

namespace quorvex {

// Category and code of one recorder command, as the recorder's Control-A1 command table numbers them.
// Each travels as one byte.
struct CommandPair {
    std::int16_t category = 0;
    std::int16_t code = 0;
};

namespace command {
inline constexpr CommandPair on{1, 2};
inline constexpr CommandPair off{1, 3};
inline constexpr CommandPair play{2, 1};
inline constexpr CommandPair stop{2, 2};
inline constexpr CommandPair back{2, 21};
inline constexpr CommandPair forward{2, 22};
inline constexpr CommandPair record{2, 33};
inline constexpr CommandPair discInformation{32, 68};
} // namespace command

inline constexpr std::uint8_t frameStart = 0x81;
inline constexpr std::uint8_t frameEnd = 0xFF;

using CommandFrame = std::array<std::uint8_t, 7>;

// 81 07 05 47 category code FF: start byte, the frame's own length, two fixed bytes, the pair, end byte.
[[nodiscard]] constexpr CommandFrame commandFrame(std::int16_t category, std::int16_t code) {
    return {frameStart,
            std::tuple_size_v<CommandFrame>,
            0x05,
            0x47,
            static_cast<std::uint8_t>(category & 0xFF),
            static_cast<std::uint8_t>(code & 0xFF),
            frameEnd};
}

} // namespace quorvex
