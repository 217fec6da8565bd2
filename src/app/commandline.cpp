#include "app/commandline.h"

#include "version.h"

#include <algorithm>
#include <string_view>

namespace quorvex {

namespace {

constexpr const char* usage = R"(Usage: quorvex [--virtual-deck]
       quorvex --insert FILE.pdf [--paper a4|letter] RECORD...
Records audio files onto a MiniDisc recorder, one titled track per file: it plays each file through the
sound output cabled to the recorder's optical input and drives the recorder over its Control-A1 serial link.

  --virtual-deck  every Com button leads to a virtual recorder inside the program, which prints each
                  frame it receives on standard output (nothing of it is saved)
  --insert FILE.pdf [--paper a4|letter] RECORD...
                  write the case inserts of disc records (from ~/.local/share/quorvex/discs) to a PDF,
                  without a window or a display; the paper as the locale measures unless given
  --version       print the version and exit
  -h, --help      print this help and exit

Settings are kept in ~/.config/MP3Quorvex.ini; see quorvex(1).
)";

} // namespace

std::optional<std::string> commandLineAnswer(std::span<const char* const> arguments) {
    // The first argument is the program itself.
    for (const char* argument : arguments.subspan(std::min<std::size_t>(1, arguments.size()))) {
        const std::string_view option = argument != nullptr ? argument : "";
        if (option == "--version") {
            return std::string("quorvex ") + version::text + "\n";
        }
        if (option == "--help" || option == "-h") {
            return usage;
        }
    }
    return std::nullopt;
}

} // namespace quorvex
