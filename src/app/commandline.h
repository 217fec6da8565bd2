#pragma once

#include <optional>
#include <span>
#include <string>

namespace quorvex {

// What `quorvex --version` or `quorvex --help` (also `-h`) prints, answered before any window system is
// opened so that both work without a display; the first of them on the command line counts. Nothing for
// any other command line: the program starts, and an argument it does not know is ignored.
[[nodiscard]] std::optional<std::string> commandLineAnswer(std::span<const char* const> arguments);

} // namespace quorvex
