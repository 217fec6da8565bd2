#include "run/entrymark.h"

namespace quorvex {

QString entryMarkText(const EntryMark& mark) {
    switch (mark.state) {
    case EntryState::recorded:
        return QStringLiteral("recorded");
    case EntryState::skipped:
        return QStringLiteral("skipped: ") + mark.reason;
    case EntryState::cutOff:
        return QStringLiteral("cut off by Stop recording");
    case EntryState::notRecorded:
        break;
    }
    return {};
}

} // namespace quorvex
