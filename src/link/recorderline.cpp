#include "link/recorderline.h"

#include "platform/serialport.h"

namespace quorvex {

RecorderLine::RecorderLine(SerialPort& port, QObject* parent) : QObject(parent), port(port) {
    connect(&port, &SerialPort::failed, this, [this](const QString& reason) {
        this->port.close();
        emit lost(reason);
    });
}

void RecorderLine::send(std::span<const std::uint8_t> frame) {
    if (!port.isOpen()) {
        return;
    }
    port.write(frame);
}

} // namespace quorvex
