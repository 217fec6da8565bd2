#pragma once

#include "record/recordoptions.h"

#include <QObject>

namespace quorvex {

class RecordingSession;
class SettingsStore;
struct RecordedRun;

// How `quorvex-record` ends.
enum class ExitStatus : int {
    recorded = 0,       // every entry recorded whole
    notAllRecorded = 1, // some entries skipped, cut short or not added (each named)
    cannotGoOn = 2,     // no record acknowledgement, the line lost, or no sound output
    doesNotFit = 3,     // the list does not fit and --record-anyway was not given
    badUsage = 4,       // bad usage, nothing to record, a device or output that cannot be used
    interrupted = 128,  // plus the signal's number: SIGINT 130, SIGTERM 143
};

// One `quorvex-record` command: the recorder opened and started as the window's start-up does, the entries
// gathered as the Track list takes them, and the window's recording run onto the disc.
class RecordCommand final : public QObject {
    Q_OBJECT
public:
    RecordCommand(RecordOptions given, const SettingsStore& store);

    // Runs the command to its end and returns the exit status.
    int run();
    // SIGINT or SIGTERM: Stop recording (an armed recorder gets its stop and its acknowledgement is awaited);
    // a second one ends the program at once.
    void stopSignal(int signalNumber);

private:
    // Passes of the event loop until `done` or a stop signal; false when stopped.
    bool pumpUntil(const std::function<bool()>& done, int timeOutMs);
    // The run's part of its disc's record, saved; a record that cannot be written is said.
    void saveRecord(const RecordedRun& run) const;
    int listOutputs();
    int record();

    RecordOptions options;
    const SettingsStore& settings;
    RecordingSession* session = nullptr; // while one exists
    int stoppedBy = 0;
};

} // namespace quorvex
