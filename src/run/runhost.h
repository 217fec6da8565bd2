#pragma once

#include "run/notice.h"
#include "tracks/entrymark.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <QString>

namespace quorvex {

class RecorderLink;

// Where a run stands: entry `current` of `count` (from 1), the time its entries still need, and the share
// of the run done (0 to 1).
struct RunProgress {
    int current = 0;
    int count = 0;
    double secondsLeft = 0;
    double done = 0;
};

// What a recording run does with the window: the recorder link, the Track list and its marks, the Status
// line, the progress shown, the questions and the pause-mode box. The window is the one host; tests drive
// the run on a fake.
class RunHost {
public:
    RunHost() = default;
    RunHost(const RunHost&) = delete;
    RunHost& operator=(const RunHost&) = delete;
    RunHost(RunHost&&) = delete;
    RunHost& operator=(RunHost&&) = delete;
    virtual ~RunHost() = default;

    // The recorder, as the front end keeps it: frames, waits, the Tick's view of its answers.
    [[nodiscard]] virtual RecorderLink& link() = 0;
    virtual void pumpEvents() = 0;

    [[nodiscard]] virtual int trackCount() const = 0;
    // Moves the Track list's selection to the entry and returns its path.
    virtual QString selectTrack(int index) = 0;
    virtual QString deriveTrackTitle(const QString& path) = 0;
    // The entry's playing time where its file tells it.
    [[nodiscard]] virtual std::optional<std::chrono::milliseconds> entryLength(int index) = 0;
    virtual void setEntryMark(int index, const EntryMark& mark) = 0;

    virtual void setStatusLine(const QString& text) = 0;
    virtual void showRunProgress(const RunProgress& progress) = 0;
    // The value of "Insert pauses": 0 clear, 1 ticked.
    [[nodiscard]] virtual int pauseBoxValue() const = 0;
    virtual void chkInsertPauses_Click() = 0;
    virtual void showNotice(const Notice& notice) = 0;
    // The list does not fit the disc: true when the user says "Record anyway".
    virtual bool askRecordAnyway(const QString& question) = 0;
};

} // namespace quorvex
