#pragma once

#include "deck/controla1/frameparser.h"

#include <QString>
#include <QTime>

namespace quorvex::deck {

// "record", "title track 3 "Summer Holiday"", "noise", ...
[[nodiscard]] QString meaningOf(const Meaning& meaning);

// One readable line for one thing taken off the line:
// "14:03:07.215  81 07 05 47 02 21 FF  record". Long noise is cut to its first bytes and its length.
[[nodiscard]] QString logLine(QTime at, const Received& received);

} // namespace quorvex::deck
