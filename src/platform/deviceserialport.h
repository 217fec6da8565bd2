#pragma once

#include "platform/serialport.h"

#include <map>
#include <QSerialPort>

namespace quorvex {

class SettingsStore;

// A real serial device through QSerialPort. Port number n opens the device named by the setting
// Commport/Device<n> when it is present, else the n-th standard serial device of the system. A non-empty
// `everyPortDevice` puts that one device behind every port number instead (the demo's virtual recorder);
// it is never written to the settings. A device put behind a number with setDevice comes before either.
class DeviceSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit DeviceSerialPort(const SettingsStore& settings, QString everyPortDevice = {},
                              QObject* parent = nullptr);

    void setPortNumber(int number) override;
    [[nodiscard]] int portNumber() const override { return number; }
    [[nodiscard]] QString deviceName(int number) const override;
    void setDevice(int number, const QString& device) override;
    [[nodiscard]] std::vector<SerialDevice> systemDevices() const override { return systemSerialDevices(); }

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
    std::map<int, QString> chosen; // port number -> device chosen while the program runs
    QSerialPort port;
    QString openDevice; // the device the line was opened on, for failure reports
    int number = 1;
    bool failureReported = false;
};

// The device a port number names when no setting overrides it.
[[nodiscard]] QString standardSerialDevice(int number);

// Why `device` could not be opened, said for the user: the device, QSerialPort's reason and what to do about
// it. A missing device and a folder are said as such; a device the user may not open names its group.
[[nodiscard]] QString openFailureText(const QString& device, const QString& reason);

} // namespace quorvex
