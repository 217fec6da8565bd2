#pragma once

#include "platform/serialdevices.h"

#include <QDialog>
#include <span>

class QLineEdit;
class QTreeWidget;

namespace quorvex {

// Chooses the device behind one Com button: the system's serial ports (a click copies one into the path
// field, a double-click chooses it) and a path field, which has the focus, for any other device. OK is
// the default button and needs a path; Escape cancels.
class SerialDeviceDialog final : public QDialog {
    Q_OBJECT
public:
    SerialDeviceDialog(const QString& title, const QString& current, std::span<const SerialDevice> devices,
                       QWidget* parent = nullptr);

    // The path in the field, without surrounding blanks.
    [[nodiscard]] QString device() const;

private:
    QTreeWidget* ports;
    QLineEdit* path;
};

} // namespace quorvex
