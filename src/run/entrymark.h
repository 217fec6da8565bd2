#pragma once

#include <QString>

namespace quorvex {

// What the last run that reached a Track list entry did with it.
enum class EntryState {
    notRecorded, // not yet recorded (no run reached it)
    recorded,    // it made a track and played to its end
    skipped,     // passed over, for a reason
    cutOff,      // its recording was ended by Stop recording
};

struct EntryMark {
    EntryState state = EntryState::notRecorded;
    QString reason; // why it was skipped
};

// The mark as the entry's tool tip says it: "recorded", "skipped: <reason>", "cut off by Stop recording",
// or "" for an entry not yet recorded.
[[nodiscard]] QString entryMarkText(const EntryMark& mark);

} // namespace quorvex
