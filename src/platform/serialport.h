#pragma once

#include "platform/serialdevices.h"

#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <span>

namespace quorvex {

// The serial line to the recorder's Control-A1 socket, numbered 1 to 4 like the Com option buttons.
// The line settings (9600 baud, 8 data bits, no parity, 1 stop bit) are fixed by each implementation.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setPortNumber(int number) = 0;
    [[nodiscard]] virtual int portNumber() const = 0;
    // The device that a port number stands for, for tool tips and messages.
    [[nodiscard]] virtual QString deviceName(int number) const = 0;
    // Puts a device behind a port number from now on; an open line stays on its device until reopened.
    virtual void setDevice(int number, const QString& device) = 0;
    // The serial ports the system has, for the user to choose from.
    [[nodiscard]] virtual std::vector<SerialDevice> systemDevices() const = 0;

    // Opens the line of the current port number. On failure the port stays closed and what went wrong comes
    // back as a sentence for the user: the device, the reason and, where there is one, the remedy.
    virtual std::optional<QString> open() = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Hands one whole frame to the line at once, without waiting for it to drain.
    // A refusal is reported through `failed`, never by blocking.
    virtual void write(std::span<const std::uint8_t> frame) = 0;
    // Bytes received and not read yet.
    [[nodiscard]] virtual qint64 bytesWaiting() const = 0;
    // Everything received so far; empties the receive buffer.
    virtual QByteArray readAll() = 0;

signals:
    // The open line broke (device unplugged, I/O error). Sent at most once per successful open.
    void failed(const QString& reason);
};

} // namespace quorvex
