#pragma once

#include <cstdint>
#include <QString>

namespace quorvex::deck {

// One command as the program sends it: the category and code bytes of a 7-byte command frame.
struct Command {
    std::uint8_t category = 0;
    std::uint8_t code = 0;

    friend bool operator==(const Command&, const Command&) = default;
};

// The recorder's own copy of the command table, written from the recorder's side on purpose: it is
// the independent far end the program's frames are checked against, so it shares no table with them.
namespace commands {
inline constexpr Command on{0x01, 0x02};
inline constexpr Command off{0x01, 0x03};
inline constexpr Command play{0x02, 0x01};
inline constexpr Command stop{0x02, 0x02};
inline constexpr Command back{0x02, 0x15};
inline constexpr Command forward{0x02, 0x16};
inline constexpr Command record{0x02, 0x21};
inline constexpr Command discInformation{0x20, 0x44};
} // namespace commands

// What the recorder's front panel would call the command: "record", "disc information request", ...
// A pair outside the table is named by its two bytes.
[[nodiscard]] QString commandName(Command command);

} // namespace quorvex::deck
