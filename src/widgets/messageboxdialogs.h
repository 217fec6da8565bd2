#pragma once

#include "widgets/dialogs.h"

namespace quorvex {

class MessageBoxDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton show(const Message& message) override;
    int ask(const Question& question) override;
    QStringList chooseFiles(const QString& title, const QString& filter) override;
    QString chooseFolder(const QString& title) override;
    QString chooseFileToSave(const QString& title, const QString& filter) override;
    std::optional<SerialChoice> chooseSerialDevice(const QString& title, const SerialChoice& current,
                                                   std::span<const SerialDevice> devices,
                                                   const IdentifyRecorder& identify) override;
};

} // namespace quorvex
