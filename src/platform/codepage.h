#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace quorvex {

// Text as the recorder and ID3v1 tags carry it: one byte per character in Windows-1252.
// A character that Windows-1252 has no byte for becomes '?', so a text of n characters is always
// n bytes (a character outside the Basic Multilingual Plane counts as one character).
[[nodiscard]] QByteArray toCodePage(QStringView text);
// Bytes in Windows-1252 as text, one character per byte.
[[nodiscard]] QString fromCodePage(QByteArrayView bytes);

} // namespace quorvex
