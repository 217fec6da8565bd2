#pragma once

#include "run/notice.h"
#include "tracks/entrymark.h"
#include "tracks/tagfields.h"

#include <optional>
#include <QString>

namespace quorvex {

// Where a run stands: entry `current` of `count` (from 1), the time its entries still need, and the share
// of the run done (0 to 1).
struct RunProgress {
    int current = 0;
    int count = 0;
    double secondsLeft = 0;
    double done = 0;
    std::optional<int> track; // the track the entry under way is making, once it makes one
};

// An entry the run is done with: the track it made on the disc (none when it made none), the title as the
// recorder got it, and its mark.
struct EndedEntry {
    int index = 0;
    std::optional<int> track;
    QString title;
    EntryMark mark;
};

// What a recording run tells its front end (the window, the command line) and the one question it asks.
// Marks go onto the Track list's entries themselves.
class RunFeedback {
public:
    RunFeedback() = default;
    RunFeedback(const RunFeedback&) = delete;
    RunFeedback& operator=(const RunFeedback&) = delete;
    RunFeedback(RunFeedback&&) = delete;
    RunFeedback& operator=(RunFeedback&&) = delete;
    virtual ~RunFeedback() = default;

    // The entry the run turned to.
    virtual void showEntry(int index) = 0;
    // The tags an entry's title was taken from; nothing when it has none.
    virtual void showTagFields(const std::optional<TagFields>& fields) = 0;
    virtual void setStatusLine(const QString& text) = 0;
    virtual void showRunProgress(const RunProgress& progress) = 0;
    virtual void showNotice(const Notice& notice) = 0;
    // The list does not fit the disc: true when the user says "Record anyway".
    virtual bool askRecordAnyway(const QString& question) = 0;
    // Each entry as the run is done with it (its mark is on the Track list's entry already).
    virtual void entryEnded(const EndedEntry& entry) = 0;
    // A run that ends in pause mode says once more what pause mode asks of the user.
    virtual void remindPauseMode() = 0;
};

} // namespace quorvex
