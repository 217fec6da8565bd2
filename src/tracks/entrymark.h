#pragma once

#include <QString>

namespace quorvex {

// What the last run that reached a Track list entry did with it.
enum class EntryState {
    notRecorded, // not yet recorded (no run reached it)
    recorded,    // it made a track and was heard to its end
    skipped,     // no track was made for it, for a reason
    cutOff,      // its recording was ended by Stop recording
    cutShort,    // a track was made but holds only the start of it, for a reason
};

struct EntryMark {
    EntryState state = EntryState::notRecorded;
    QString reason; // why it was skipped or cut short
    double at = 0;  // where in the file a cut-short track ends, in seconds
};

// The mark as the entry's tool tip says it: "recorded", "skipped: <reason>", "cut short: <reason> at MM:SS",
// "cut off by Stop recording", or "" for an entry not yet recorded.
[[nodiscard]] QString entryMarkText(const EntryMark& mark);

} // namespace quorvex
