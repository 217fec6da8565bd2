#include "tracks/entrymark.h"

#include "tracks/formatseconds.h"

namespace quorvex {

QString entryMarkText(const EntryMark& mark) {
    switch (mark.state) {
    case EntryState::recorded:
        // A track made whole with something amiss (its title not written, say) says what.
        return mark.reason.isEmpty() ? QStringLiteral("recorded")
                                     : QStringLiteral("recorded; ") + mark.reason;
    case EntryState::skipped:
        return QStringLiteral("skipped: ") + mark.reason;
    case EntryState::cutShort:
        return QStringLiteral("cut short: %1 at %2").arg(mark.reason, formatSeconds(mark.at));
    case EntryState::cutOff:
        return QStringLiteral("cut off by Stop recording");
    case EntryState::notRecorded:
        break;
    }
    return {};
}

} // namespace quorvex
