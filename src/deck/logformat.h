#pragma once

#include <QByteArrayView>
#include <QString>
#include <QTime>

namespace quorvex::deck {

// What both decks' log lines are made of: "14:03:07.215  7E 07 05 47 10 03 FF  REMOTE MODE On".
[[nodiscard]] QString formatLogLine(QTime at, const QString& bytes, const QString& meaning);

// Bytes as hex, a run longer than 24 bytes cut to its first 24 and its length: "55 55 … (1000 bytes)".
[[nodiscard]] QString shortenedHex(QByteArrayView bytes);

} // namespace quorvex::deck
