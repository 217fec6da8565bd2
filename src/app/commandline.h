#pragma once

#include "link/recorder.h"

#include <optional>
#include <QString>
#include <QStringList>
#include <span>
#include <string>

namespace quorvex {

// What `quorvex --version` or `quorvex --help` (also `-h`) prints, answered before any window system is
// opened so that both work without a display; the first of them on the command line counts. Nothing for
// any other command line: the program starts, and an argument it does not know is ignored.
[[nodiscard]] std::optional<std::string> commandLineAnswer(std::span<const char* const> arguments);

// What the window's command line asks for: the virtual deck and its family, a serial trace.
struct WindowOptions {
    bool virtualDeck = false;
    std::optional<RecorderFamily> recorder; // --recorder FAMILY: every Com button leads to one of this family
    QString trace;                          // --trace FILE
    QString error;                          // what is wrong with them; empty: nothing
};
// `arguments` with the program's name first.
[[nodiscard]] WindowOptions windowOptions(const QStringList& arguments);

} // namespace quorvex
