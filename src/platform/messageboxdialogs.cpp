#include "platform/messageboxdialogs.h"

#include <QApplication>

namespace quorvex {

QMessageBox::StandardButton MessageBoxDialogs::show(const Message& message) {
    // Centred on the program's window when it is up; before it is shown the box stands alone.
    QMessageBox box(message.icon, message.title, message.text, message.buttons, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("quorvexMessage"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace quorvex
