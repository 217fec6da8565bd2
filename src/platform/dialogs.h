#pragma once

#include <QMessageBox>
#include <QString>

namespace quorvex {

struct Message {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

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
};

} // namespace quorvex
