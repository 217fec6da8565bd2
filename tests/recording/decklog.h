#pragma once

#include "deck/virtualdeck.h"

#include <QRegularExpression>
#include <QStringList>

namespace quorvex::testing {

// What the recorder understood, frame by frame: the meaning at the end of each log line.
inline QStringList meanings(const deck::VirtualDeck& recorder) {
    QStringList result;
    static const QRegularExpression meaning(QStringLiteral(R"(^\S+\s+(?:[0-9A-F]{2} )*[0-9A-F]{2}\s+(.*)$)"));
    for (const QString& line : recorder.log()) {
        const QRegularExpressionMatch match = meaning.match(line);
        result.append(match.hasMatch() ? match.captured(1) : line);
    }
    return result;
}

} // namespace quorvex::testing
