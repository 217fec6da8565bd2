#pragma once

#include "run/entrymark.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <QMetaObject>
#include <QString>
#include <vector>

namespace quorvex {

struct DiscInfo;
class MediaPlayer;
class RunHost;

// What one press of Record is to record: Track list positions, in order, and the disc's length.
struct RunPlan {
    std::vector<int> entries;
    int discMinutes = 0;
};

// How a run ended: entries that became whole tracks, entries passed over, and whether Stop recording
// ended it.
struct RunSummary {
    int recorded = 0;
    int skipped = 0;
    bool stopped = false;
};

// One press of Record: every planned entry of the Track list, in order, becomes one new track on the
// disc, numbered after the tracks already there. Once the disc has said what it holds, a list that does
// not fit is put to the user. Per entry the file is first opened and made ready to play, so a file that
// cannot play never reaches the recorder; then the recorder is armed and started, the file is played,
// the track is named once its sound is going out, and the recorder is stopped when it ends. Every wait
// hands the thread to the event loop, so the window stays alive throughout, and Stop recording can end
// the run at any of them.
class RecordingRun {
public:
    RecordingRun(RunHost& host, MediaPlayer& player, RunPlan plan);
    RecordingRun(const RecordingRun&) = delete;
    RecordingRun& operator=(const RecordingRun&) = delete;
    RecordingRun(RecordingRun&&) = delete;
    RecordingRun& operator=(RecordingRun&&) = delete;
    ~RecordingRun();

    RunSummary run();
    // Stop recording: the player stops, an armed recorder gets its stop (whose acknowledgement is awaited
    // as after every track) and no further entry is recorded.
    void requestStop();

private:
    enum class Outcome { recorded, skipped, stopped, aborted };

    bool fitsOrRecordAnyway(const DiscInfo& disc);
    Outcome recordEntry(int index);
    // Ends the entry the press of Stop recording caught, stopping the recorder if it was armed.
    Outcome cutOff(int index, bool armed);
    // Until the player says `state` (or, with `state` playing, that the sound goes out); false when it
    // gave up on the file, did not get there in time, or the run was stopped.
    bool waitForPlayer(int state);
    void showProgressUntilTheEnd();
    void showProgress(double positionInEntry);
    // A recorder the run armed gets its stop in any mode; otherwise the stop follows "Insert pauses".
    void stopRecorder(bool armed);
    // Waits the run may cut short when Stop recording is pressed during them.
    void delay(std::int16_t milliseconds);
    bool waitForRecordAcknowledgement();
    void mark(int index, EntryState state, const QString& reason = {});
    void skip(int index, const QString& path, const QString& fallbackReason);
    void reportSkipped();

    struct Skipped {
        QString path;
        QString reason;
    };

    RunHost& host;
    MediaPlayer& player;
    const RunPlan plan;
    QMetaObject::Connection failureWatch;
    QString currentPath;
    QString playerFailure;
    std::int16_t existingTrackCount = 0;
    // Entries of this run that made a track: the recorder took their record command (in pause mode:
    // their sound started). The next title goes to the track after these.
    std::int16_t tracksMade = 0;
    std::vector<Skipped> skipped;
    std::vector<std::optional<std::chrono::milliseconds>> lengths; // per planned entry
    std::size_t position = 0;                                      // the planned entry under way
    bool stopRequested = false;
    bool inCuttableWait = false;
    RunSummary summary;
};

} // namespace quorvex
