#pragma once

#include <cstdint>
#include <QByteArray>
#include <span>

namespace quorvex {

// Frame bytes as Qt's byte array, each byte unchanged.
[[nodiscard]] inline QByteArray toByteArray(std::span<const std::uint8_t> bytes) {
    QByteArray array;
    array.reserve(static_cast<qsizetype>(bytes.size()));
    for (const std::uint8_t byte : bytes) {
        array.append(static_cast<char>(byte));
    }
    return array;
}

} // namespace quorvex
