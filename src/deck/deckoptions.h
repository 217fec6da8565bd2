#pragma once

#include "deck/controla1/disc.h"
#include "deck/controla1/faults.h"

#include <optional>
#include <QCommandLineParser>
#include <QString>

namespace quorvex::deck {

// How quorvex-deck was asked to run: the disc it starts with, its faults, and where to link its device.
struct DeckOptions {
    Disc disc;
    Faults faults;
    QString linkPath; // empty: no link
};

// Either the options, or what is wrong with the command line.
struct DeckOptionsResult {
    std::optional<DeckOptions> options;
    QString error;
};

// --tracks --minutes --seconds --silent --answer --late --split --split-gap --noise --close-after --link
void addDeckOptions(QCommandLineParser& parser);

// Reads the values of a parser that has already parsed the command line.
[[nodiscard]] DeckOptionsResult readDeckOptions(const QCommandLineParser& parser);

// "00 FF 81" or "00ff81": the bytes, or nothing if the text is not whole hex bytes.
[[nodiscard]] std::optional<QByteArray> bytesFromHex(const QString& text);

} // namespace quorvex::deck
