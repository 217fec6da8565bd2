#include "platform/deviceserialport.h"

#include "platform/bytes.h"
#include "platform/settingsstore.h"

#include <utility>

namespace quorvex {

namespace {

// What the recorder's receive buffer is sized for; the rest waits in the driver until the next Tick reads.
constexpr qint64 receiveBufferBytes = 1024;

} // namespace

QString standardSerialDevice(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

DeviceSerialPort::DeviceSerialPort(const SettingsStore& settings, QString everyPortDevice, QObject* parent)
    : SerialPort(parent), settings(settings), everyPortDevice(std::move(everyPortDevice)) {
    port.setReadBufferSize(receiveBufferBytes);
    connect(&port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // Errors while opening come back from open(); a time-out is not an error of the line.
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port.isOpen()) {
            return;
        }
        reportFailure(port.errorString());
    });
}

void DeviceSerialPort::setPortNumber(int newNumber) {
    number = newNumber;
}

QString DeviceSerialPort::deviceName(int portNumber) const {
    if (!everyPortDevice.isEmpty()) {
        return everyPortDevice;
    }
    return settings.read(QStringLiteral("Commport"), QStringLiteral("Device%1").arg(portNumber),
                         standardSerialDevice(portNumber));
}

std::optional<QString> DeviceSerialPort::open() {
    if (port.isOpen()) {
        return std::nullopt;
    }
    const QString device = deviceName(number);
    port.setPortName(device);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        const QString reason = QStringLiteral("%1: %2").arg(device, port.errorString());
        port.clearError();
        return reason;
    }
    failureReported = false;
    openDevice = device;
    return std::nullopt;
}

void DeviceSerialPort::close() {
    if (port.isOpen()) {
        port.close();
    }
    port.clearError();
}

void DeviceSerialPort::write(std::span<const std::uint8_t> frame) {
    if (!port.isOpen()) {
        return;
    }
    const QByteArray bytes = toByteArray(frame);
    if (port.write(bytes) != bytes.size()) {
        reportFailure(port.errorString());
        return;
    }
    // Push the frame to the driver now instead of on the next event-loop pass: flush() never blocks,
    // so a line whose far end stopped reading cannot hang the program here.
    port.flush();
}

void DeviceSerialPort::reportFailure(const QString& reason) {
    if (failureReported) {
        return;
    }
    failureReported = true;
    emit failed(QStringLiteral("%1: %2").arg(openDevice, reason));
}

} // namespace quorvex
