#pragma once

#include <cstdint>
#include <QObject>
#include <QString>
#include <span>

namespace quorvex {

class SerialPort;

// Frames go out through here. A closed line swallows them without a word, as the recorder buttons expect;
// a line that breaks while open (a USB adapter pulled out) is closed at once and reported once, so that
// every later frame is dropped quietly instead of failing again and again.
class RecorderLine final : public QObject {
    Q_OBJECT
public:
    explicit RecorderLine(SerialPort& port, QObject* parent = nullptr);

    void send(std::span<const std::uint8_t> frame);

signals:
    void lost(const QString& reason);

private:
    SerialPort& port;
};

} // namespace quorvex
