#include "platform/serialdevices.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <tuple>

namespace quorvex {

std::vector<SerialDevice> systemSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        devices.push_back({.path = port.systemLocation(),
                           .systemLocation = port.systemLocation(),
                           .description = port.description(),
                           .manufacturer = port.manufacturer(),
                           .serialNumber = port.serialNumber(),
                           .usb = port.hasVendorIdentifier()});
    }
    return orderSerialDevices(std::move(devices), QStringLiteral("/dev/serial/by-id"));
}

std::vector<SerialDevice> orderSerialDevices(std::vector<SerialDevice> devices, const QString& byIdFolder) {
    const QFileInfoList links =
        QDir(byIdFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (SerialDevice& device : devices) {
        const QString kernelPath = QFileInfo(device.systemLocation).canonicalFilePath();
        const auto link = std::find_if(links.begin(), links.end(), [&kernelPath](const QFileInfo& entry) {
            return !kernelPath.isEmpty() && entry.canonicalFilePath() == kernelPath;
        });
        if (link != links.end()) {
            device.path = link->absoluteFilePath();
        }
    }
    std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& one, const SerialDevice& other) {
        return std::tuple(!one.usb, one.systemLocation.size(), one.systemLocation) <
               std::tuple(!other.usb, other.systemLocation.size(), other.systemLocation);
    });
    return devices;
}

std::optional<QString> firstStartDevice(std::span<const SerialDevice> devices) {
    if (std::count_if(devices.begin(), devices.end(),
                      [](const SerialDevice& device) { return device.usb; }) != 1) {
        return std::nullopt;
    }
    return std::find_if(devices.begin(), devices.end(), [](const SerialDevice& device) { return device.usb; })
        ->path;
}

} // namespace quorvex
