#pragma once

#include "deck/controla1/disc.h"
#include "deck/controla1/faults.h"
#include "deck/mdse/disc.h"
#include "deck/mdse/faults.h"
#include "deck/mdse/settings.h"
#include "deck/recorderfamily.h"

#include <optional>
#include <QCommandLineParser>
#include <QString>

namespace quorvex::deck {

// How an MDS-E deck was asked to run.
struct MdseOptions {
    mdse::Disc disc;
    mdse::Settings settings;
    mdse::Faults faults;

    friend bool operator==(const MdseOptions&, const MdseOptions&) = default;
};

// How quorvex-deck was asked to run: which recorder, the disc it starts with, its faults, and where to
// link its device. `disc` and `faults` are the Control-A1 deck's, `mdse` the MDS-E deck's.
struct DeckOptions {
    Disc disc;
    Faults faults;
    QString linkPath; // empty: no link
    RecorderFamily recorder = RecorderFamily::controlA1;
    MdseOptions mdse{};
};

// Either the options, or what is wrong with the command line.
struct DeckOptionsResult {
    std::optional<DeckOptions> options;
    QString error;
};

// --recorder --tracks --minutes --seconds --silent --late --split --split-gap --noise --noise-after
// --close-after --link, the read-back faults --drop-track --short-by --garble-name --no-read-back, the
// Control-A1 deck's --answer and the MDS-E deck's own (see mdse/options.h).
void addDeckOptions(QCommandLineParser& parser);

// Reads the values of a parser that has already parsed the command line. An option of one recorder given
// for the other is an error.
[[nodiscard]] DeckOptionsResult readDeckOptions(const QCommandLineParser& parser);

// "00 FF 81" or "00ff81": the bytes, or nothing if the text is not whole hex bytes.
[[nodiscard]] std::optional<QByteArray> bytesFromHex(const QString& text);

// The whole number in [lowest, highest] given for `name`; `fallback` when the option is absent. Nothing
// when it is wrong, and `error` says why, unless it already told an earlier mistake.
[[nodiscard]] std::optional<int> optionNumber(const QCommandLineParser& parser, const QString& name,
                                              int fallback, int lowest, int highest, QString& error);

} // namespace quorvex::deck
