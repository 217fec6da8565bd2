#pragma once

#include <optional>
#include <QString>
#include <span>
#include <vector>

namespace quorvex {

// A serial port the system has, as the serial-device dialog lists it.
struct SerialDevice {
    QString path = {};           // what is saved: the stable /dev/serial/by-id/… link where there is one
    QString systemLocation = {}; // the kernel's name, such as /dev/ttyUSB0
    QString description = {};
    QString manufacturer = {};
    QString serialNumber = {};
    bool usb = false; // a USB adapter (it has a vendor number)
};

// The serial ports the system has now (QSerialPortInfo), in the dialog's order.
[[nodiscard]] std::vector<SerialDevice> systemSerialDevices();

// The dialog's order: USB adapters first, then the rest, each by kernel name with ttyS2 before ttyS10.
// A device behind one of the links in `byIdFolder` is named by that link, which survives replugging.
[[nodiscard]] std::vector<SerialDevice> orderSerialDevices(std::vector<SerialDevice> devices,
                                                           const QString& byIdFolder);

// The device Com1 is put on at a first start: the one USB adapter, when there is exactly one.
[[nodiscard]] std::optional<QString> firstStartDevice(std::span<const SerialDevice> devices);

} // namespace quorvex
