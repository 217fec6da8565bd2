#pragma once

#include <QString>

namespace quorvex {

// A text that stays on one line wherever it is written or shown: line and paragraph breaks become spaces.
[[nodiscard]] inline QString oneLine(QString text) {
    for (QChar& c : text) {
        const bool breaks = c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
                            c == QChar::ParagraphSeparator;
        if (breaks) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

} // namespace quorvex
