#include "link/recorderline.h"

#include "link/linktrace.h"
#include "platform/serialport.h"

namespace quorvex {

RecorderLine::RecorderLine(SerialPort& port, QObject* parent) : QObject(parent), port(port) {
    connect(&port, &SerialPort::failed, this, [this](const QString& reason) {
        this->port.close();
        emit lost(reason);
    });
}

void RecorderLine::send(std::span<const std::uint8_t> frame, const QString& name) {
    if (!port.isOpen()) {
        return;
    }
    if (trace != nullptr) {
        trace->sent(QByteArrayView(frame.data(), static_cast<qsizetype>(frame.size())), name);
    }
    port.write(frame);
}

void RecorderLine::traceReceived(QByteArrayView frame, const QString& name) {
    if (trace != nullptr) {
        trace->received(frame, name);
    }
}

} // namespace quorvex
