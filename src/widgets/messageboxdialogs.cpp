#include "widgets/messageboxdialogs.h"

#include "widgets/serialdevicedialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>

namespace quorvex {

QMessageBox::StandardButton MessageBoxDialogs::show(const Message& message) {
    // Centred on the program's window when it is up; before it is shown the box stands alone.
    QMessageBox box(message.icon, message.title, message.text, message.buttons, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("quorvexMessage"));
    box.setInformativeText(message.informativeText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int MessageBoxDialogs::ask(const Question& question) {
    QMessageBox box(QMessageBox::Question, question.title, question.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("quorvexMessage"));
    QList<QPushButton*> buttons;
    for (int index = 0; index < question.choices.size(); ++index) {
        buttons.append(box.addButton(question.choices.at(index), index == question.escapeChoice
                                                                     ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole));
    }
    box.setDefaultButton(buttons.value(question.defaultChoice));
    box.setEscapeButton(buttons.value(question.escapeChoice));
    box.exec();
    const auto pressed = static_cast<int>(buttons.indexOf(box.clickedButton()));
    return pressed >= 0 ? pressed : question.escapeChoice;
}

QStringList MessageBoxDialogs::chooseFiles(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileNames(QApplication::activeWindow(), title, QString(), filter);
}

QString MessageBoxDialogs::chooseFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title);
}

QString MessageBoxDialogs::chooseFileToSave(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, QString(), filter);
}

std::optional<SerialChoice> MessageBoxDialogs::chooseSerialDevice(const QString& title,
                                                                  const SerialChoice& current,
                                                                  std::span<const SerialDevice> devices,
                                                                  const IdentifyRecorder& identify) {
    SerialDeviceDialog dialog(title, current, devices, identify, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

} // namespace quorvex
