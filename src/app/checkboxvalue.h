#pragma once

class QCheckBox;

namespace quorvex {

// A check box's value as the program reads it: 0 clear, 1 ticked, 2 greyed.
[[nodiscard]] int checkBoxValue(const QCheckBox& box);

} // namespace quorvex
