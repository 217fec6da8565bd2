#pragma once

#include <QString>

namespace quorvex {

// How much a message to the user weighs; the window picks the box's icon from it.
enum class Severity { information, warning, critical };

// A message the run has for the user, as plain data: the window decides how to show it.
struct Notice {
    QString text;
    QString title;
    Severity severity = Severity::information;
};

} // namespace quorvex
