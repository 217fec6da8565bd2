#pragma once

#include <algorithm>
#include <initializer_list>
#include <QByteArray>
#include <QByteArrayView>

namespace quorvex::deck::testing {

// Bytes written down as numbers: bytes({0x81, 0x07, ...}).
inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int value : values) {
        result.append(static_cast<char>(value));
    }
    return result;
}

// A command frame as the program sends it, built here by hand from its layout.
inline QByteArray commandBytes(int category, int code) {
    return bytes({0x81, 0x07, 0x05, 0x47, category, code, 0xFF});
}

// A title frame: `text` is Windows-1252 bytes, padded with NUL to 14.
inline QByteArray titleBytes(int track, QByteArrayView text) {
    QByteArray frame = bytes({0x81, 0x17, 0x07, 0xB0, 0x9A, track, 0x00, 0x00});
    frame.append(text.first(std::min<qsizetype>(text.size(), 14)));
    frame.append(QByteArray(14 - std::min<qsizetype>(text.size(), 14), '\0'));
    frame.append(static_cast<char>(0xFF));
    return frame;
}

} // namespace quorvex::deck::testing
