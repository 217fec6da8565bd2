#include "platform/serialdevices.h"

#include <algorithm>
#include <iterator>
#include <QDir>
#include <QFileInfo>
#include <QHash>
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
    QHash<QString, QString> stableNames; // the device a link leads to -> the link
    for (const QFileInfo& link :
         QDir(byIdFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        stableNames.insert(link.canonicalFilePath(), link.absoluteFilePath());
    }
    for (SerialDevice& device : devices) {
        const QString kernelPath = QFileInfo(device.systemLocation).canonicalFilePath();
        if (!kernelPath.isEmpty()) {
            device.path = stableNames.value(kernelPath, device.path);
        }
    }
    std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& one, const SerialDevice& other) {
        return std::tuple(!one.usb, one.systemLocation.size(), one.systemLocation) <
               std::tuple(!other.usb, other.systemLocation.size(), other.systemLocation);
    });
    return devices;
}

std::optional<QString> firstStartDevice(std::span<const SerialDevice> devices) {
    const auto isUsb = [](const SerialDevice& device) { return device.usb; };
    const auto adapter = std::find_if(devices.begin(), devices.end(), isUsb);
    if (adapter == devices.end() || std::any_of(std::next(adapter), devices.end(), isUsb)) {
        return std::nullopt;
    }
    return adapter->path;
}

} // namespace quorvex
