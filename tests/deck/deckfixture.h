#pragma once

#include "deck/controla1/virtualdeck.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <QSerialPort>
#include <QTest>

// What the deck tests share: frames and answers written down by hand from their layout, and a wait for
// bytes at the program's end of the cable.
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
    const qsizetype kept = std::min<qsizetype>(text.size(), 14);
    return bytes({0x81, 0x17, 0x07, 0xB0, 0x9A, track, 0x00, 0x00}) + text.first(kept).toByteArray() +
           QByteArray(14 - kept, '\0') + bytes({0xFF});
}

inline const QByteArray recordAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});
inline const QByteArray stopAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x02, 0xFF});

inline QByteArray discAnswer(int tracks, int minutes, int seconds) {
    return bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, tracks, minutes, seconds, 0x00, 0xFF});
}

// Waits until `count` bytes have arrived at the program's end or the time is up, and takes what came.
// The wait keeps Qt's event loop running, because a deck in this process answers on it.
inline QByteArray readFrom(QSerialPort& port, qsizetype count, std::chrono::milliseconds within) {
    // Too few bytes in time is no failure here: the caller compares what came.
    static_cast<void>(QTest::qWaitFor([&port, count] { return port.bytesAvailable() >= count; },
                                      static_cast<int>(within.count())));
    return port.readAll();
}

} // namespace quorvex::deck::testing
