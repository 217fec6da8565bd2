#pragma once

#include "widgets/dialogs.h"

#include <QDialog>
#include <span>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace quorvex {

// Chooses the device behind one Com button: the system's serial ports (a click copies one into the path
// field, a double-click chooses it) and a path field, which has the focus, for any other device; the family
// of recorder on it, and for an MDS-E deck an Identify button that asks the deck its model. OK is the default
// button and needs a path; Escape cancels.
class SerialDeviceDialog final : public QDialog {
    Q_OBJECT
public:
    SerialDeviceDialog(const QString& title, const SerialChoice& current,
                       std::span<const SerialDevice> devices, IdentifyRecorder identify,
                       QWidget* parent = nullptr);

    // The path in the field, without surrounding blanks.
    [[nodiscard]] QString device() const;
    [[nodiscard]] SerialChoice choice() const;

private:
    QTreeWidget* ports;
    QLineEdit* path;
    QComboBox* family;
    QLabel* identified;
    IdentifyRecorder identify;
};

} // namespace quorvex
