#pragma once

#include "platform/dialogs.h"

namespace quorvex {

class MessageBoxDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton show(const Message& message) override;
    int ask(const Question& question) override;
};

} // namespace quorvex
