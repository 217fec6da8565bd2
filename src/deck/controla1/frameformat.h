#pragma once

#include <cstdint>
#include <QByteArrayView>

namespace quorvex::deck {

// Every frame on the line starts with 0x81, carries its own total length in byte 1 and ends with 0xFF.
inline constexpr std::uint8_t frameStart = 0x81;
inline constexpr std::uint8_t frameEnd = 0xFF;

// 81 07 05 47 <category> <code> FF
inline constexpr qsizetype commandLength = 7;
// 81 17 07 B0 9A <track> 00 00 <14 title bytes> FF
inline constexpr qsizetype titleLength = 23;
inline constexpr qsizetype titleTrackAt = 5;
inline constexpr qsizetype titleTextAt = 8;
inline constexpr qsizetype titleTextLength = 14;
inline constexpr qsizetype longestFrame = titleLength;

// Byte 3 of a command frame: 0x47 travels to the recorder, 0x48 marks the recorder's answer.
inline constexpr std::uint8_t toRecorder = 0x47;
inline constexpr std::uint8_t fromRecorder = 0x48;

// What the bytes from a 0x81 onwards amount to so far.
enum class Candidate {
    partial, // nothing wrong yet, more bytes are needed
    broken,  // not a frame: the 0x81 was noise or the frame was cut short
    command, // a whole command frame
    title,   // a whole title frame
};

// Looks at the first bytes only, up to the length the frame's own length byte names.
[[nodiscard]] Candidate judge(QByteArrayView fromStart);

// The length of a whole frame of that kind (command or title).
[[nodiscard]] qsizetype frameLength(Candidate whole);

} // namespace quorvex::deck
