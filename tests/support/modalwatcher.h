#pragma once

#include <QStringList>
#include <QTimer>

namespace quorvex::testing {

// Answers the real modal message boxes that appear while it lives: notes each box's text and presses
// its default button, the way a user reading it would press Enter.
class ModalWatcher {
public:
    ModalWatcher();

    [[nodiscard]] const QStringList& texts() const { return seen; }
    // Each box's informative text, in the same order.
    [[nodiscard]] const QStringList& details() const { return detailsSeen; }

private:
    QTimer poll;
    QStringList seen;
    QStringList detailsSeen;
};

} // namespace quorvex::testing
