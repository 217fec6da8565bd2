#pragma once

#include <QByteArray>
#include <QStringView>

namespace quorvex::mdse {

// A title as the deck's name bytes: the deck takes 20-5A and 5E-7A. The title comes in plain ASCII (the
// program's plain-ASCII rules, which the caller applies); control characters become spaces, [ ] \ { } | ~
// become ( ) / ( ) / -, and anything else the deck does not take becomes "?".
[[nodiscard]] QByteArray deckNameBytes(QStringView title);

// The name bytes as the deck reads them back, up to their first 00.
[[nodiscard]] QString nameOfBytes(QByteArrayView bytes);

} // namespace quorvex::mdse
