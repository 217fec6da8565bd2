#pragma once

#include "link/recorder.h"
#include "platform/serialdevices.h"

#include <functional>
#include <optional>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <span>

namespace quorvex {

struct Message {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString informativeText = {}; // the details under the text; empty: none
};

// A question with buttons of its own words, left to right.
struct Question {
    QString text;
    QString title;
    QStringList choices;
    int defaultChoice = 0; // the one Enter presses
    int escapeChoice = 0;  // the one Escape (and the window's close button) presses
};

// What stands behind a Com button: the device and the family of recorder at its end.
struct SerialChoice {
    QString device;
    RecorderFamily family = RecorderFamily::controlA1;
};
// Asks the recorder on a device for its model: the text to show ("MDS-E12", "no answer").
using IdentifyRecorder = std::function<QString(const QString& device)>;

// Modal message boxes: the call returns when the user has answered.
class Dialogs {
public:
    Dialogs() = default;
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;
    Dialogs(Dialogs&&) = delete;
    Dialogs& operator=(Dialogs&&) = delete;
    virtual ~Dialogs() = default;

    // Returns the button the user pressed.
    virtual QMessageBox::StandardButton show(const Message& message) = 0;
    // Returns the index of the choice the user pressed.
    virtual int ask(const Question& question) = 0;
    // File choosers (`filter` as "Name (*.a *.b)"): what the user chose, nothing when cancelled.
    virtual QStringList chooseFiles(const QString& title, const QString& filter) = 0;
    virtual QString chooseFolder(const QString& title) = 0;
    virtual QString chooseFileToSave(const QString& title, const QString& filter) = 0;
    // The device chosen for a Com button from the system's serial ports or typed, and its recorder's family;
    // nothing when cancelled. `identify` answers the Identify button.
    virtual std::optional<SerialChoice> chooseSerialDevice(const QString& title, const SerialChoice& current,
                                                           std::span<const SerialDevice> devices,
                                                           const IdentifyRecorder& identify) = 0;
};

} // namespace quorvex
