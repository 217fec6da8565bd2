#pragma once

#include "platform/serialport.h"

#include <QSerialPort>

namespace quorvex {

class SettingsStore;

// A real serial device through QSerialPort. Port number n opens the device named by the setting
// Commport/Device<n> when it is present, else the n-th standard serial device of the system. A non-empty
// `everyPortDevice` puts that one device behind every port number instead (the demo's virtual recorder);
// it is never written to the settings.
class DeviceSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit DeviceSerialPort(const SettingsStore& settings, QString everyPortDevice = {},
                              QObject* parent = nullptr);

    void setPortNumber(int number) override;
    [[nodiscard]] int portNumber() const override { return number; }
    [[nodiscard]] QString deviceName(int number) const override;

    std::optional<QString> open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return port.isOpen(); }

    void write(std::span<const std::uint8_t> frame) override;
    [[nodiscard]] qint64 bytesWaiting() const override { return port.bytesAvailable(); }
    QByteArray readAll() override { return port.readAll(); }

private:
    void reportFailure(const QString& reason);

    const SettingsStore& settings;
    const QString everyPortDevice;
    QSerialPort port;
    QString openDevice; // the device the line was opened on, for failure reports
    int number = 1;
    bool failureReported = false;
};

// The device a port number names when no setting overrides it.
[[nodiscard]] QString standardSerialDevice(int number);

} // namespace quorvex
