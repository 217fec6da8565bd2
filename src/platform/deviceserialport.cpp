#include "platform/deviceserialport.h"

#include "platform/bytes.h"
#include "platform/settingsstore.h"

#include <cerrno>
#include <QFileInfo>
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

QString openFailureText(const QString& device, const QString& reason) {
    // QSerialPort looks for a bare name such as ttyUSB0 in /dev.
    const bool bare = !device.startsWith(QLatin1Char('/')) && !device.startsWith(QStringLiteral("./")) &&
                      !device.startsWith(QStringLiteral("../"));
    const QFileInfo file(bare ? QStringLiteral("/dev/") + device : device);
    const QString chooseAnother =
        QStringLiteral("Choose the recorder's cable in Disc \u25B8 Serial device\u2026");
    if (device.isEmpty() || !file.exists()) {
        return QStringLiteral("%1: No such device. Check that the cable is plugged in. %2")
            .arg(device, chooseAnother);
    }
    if (file.isDir()) {
        return QStringLiteral("%1: This is a folder, not a serial device. %2").arg(device, chooseAnother);
    }
    QString text = QStringLiteral("%1: %2.").arg(device, reason);
    // QSerialPort says why in the system's words, so the system's own text for EACCES tells it apart from
    // a device that is busy, which Qt files under the same error.
    const QString group = file.group();
    if (reason == qt_error_string(EACCES) && !group.isEmpty() && group != QStringLiteral("root")) {
        text += QStringLiteral(
                    " On Debian, add yourself to the group %1 (sudo adduser $USER %1) and log in again.")
                    .arg(group);
    }
    return text;
}

void DeviceSerialPort::setDevice(int portNumber, const QString& device) {
    chosen[portNumber] = device;
}

QString DeviceSerialPort::deviceName(int portNumber) const {
    if (const auto device = chosen.find(portNumber); device != chosen.end()) {
        return device->second;
    }
    if (!everyPortDevice.isEmpty()) {
        return everyPortDevice;
    }
    return settings.read(setting::commport, setting::deviceKey(portNumber), standardSerialDevice(portNumber));
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
        const QString reason = openFailureText(device, port.errorString());
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
