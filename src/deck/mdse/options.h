#pragma once

#include "deck/deckoptions.h"
#include "deck/mdse/disc.h"
#include "deck/mdse/faults.h"

#include <optional>
#include <QCommandLineParser>
#include <QString>

namespace quorvex::deck::mdse {

// The MDS-E deck's own options of quorvex-deck: --model --standby --no-disc --disc-length --echo-unchanged
// --toc-read --din-lock --toc-write --single-zero-end --no-disc-name-continuation, and the faults
// --lose-rec-report --lose-write-ack --garble-reply --refuse-rec --no-lock --full-after.
void addOptions(QCommandLineParser& parser);

// Reads them on top of the disc and the faults both decks' options give.
[[nodiscard]] std::optional<MdseOptions> readOptions(const QCommandLineParser& parser, Disc disc,
                                                     Faults faults, QString& error);

// The first of these options given, without its dashes; empty when none is.
[[nodiscard]] QString optionGiven(const QCommandLineParser& parser);

} // namespace quorvex::deck::mdse
