#include "app/commandline.h"

#include "deck/demorecorder.h"
#include "version.h"

#include <algorithm>
#include <string_view>

namespace quorvex {

namespace {

constexpr const char* usage = R"(Usage: quorvex [--virtual-deck] [--recorder control-a1|mds-e] [--trace FILE]
       quorvex --insert FILE.pdf [--paper a4|letter] RECORD...
Records audio files onto a MiniDisc recorder, one titled track per file: it plays each file through the
sound output cabled to the recorder's optical input and drives the recorder over its Control-A1 serial link.

  --virtual-deck  every Com button leads to a virtual recorder inside the program, which prints each
                  frame it receives on standard output (nothing of it is saved)
  --recorder control-a1|mds-e
                  with --virtual-deck: the virtual recorder's family, a Control-A1 recorder (the
                  default) or an MDS-E12 deck on its RS-232C port; without it, every Com button
                  drives a recorder of that family for this session
  --trace FILE    write every frame to and from the recorder into FILE, one line each
  --insert FILE.pdf [--paper a4|letter] RECORD...
                  write the case inserts of disc records (from ~/.local/share/quorvex/discs) to a PDF,
                  without a window or a display; the paper as the locale measures unless given
  --version       print the version and exit
  -h, --help      print this help and exit

Settings are kept in ~/.config/MP3Quorvex.ini; see quorvex(1).
)";

} // namespace

WindowOptions windowOptions(const QStringList& arguments) {
    WindowOptions options{
        .virtualDeck = wantsVirtualDeck(arguments), .recorder = {}, .trace = {}, .error = {}};
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& option = arguments.at(at);
        const bool valued = option == QLatin1String("--recorder") || option == QLatin1String("--trace");
        if (valued && at + 1 >= arguments.size()) {
            options.error = QStringLiteral("%1 needs a value.").arg(option);
            break;
        }
        if (option == QLatin1String("--recorder")) {
            options.recorder = recorderFamilyOf(arguments.at(++at));
            if (!options.recorder) {
                options.error =
                    QStringLiteral("--recorder takes control-a1 or mds-e, not \"%1\".").arg(arguments.at(at));
            }
        } else if (option == QLatin1String("--trace")) {
            options.trace = arguments.at(++at);
        }
    }
    return options;
}

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
