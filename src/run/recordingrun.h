#pragma once

#include <cstdint>
#include <QMetaObject>
#include <QString>
#include <vector>

namespace quorvex {

class MediaPlayer;
class RunHost;

// One press of Record: every entry of the Track list, in order, becomes one new track on the disc,
// numbered after the tracks already there. Per entry the recorder is armed and started, the file is
// played, the track is named once its sound is going out, and the recorder is stopped when it ends.
// Every wait hands the thread to the event loop, so the window stays alive throughout.
class RecordingRun {
public:
    RecordingRun(RunHost& host, MediaPlayer& player);
    RecordingRun(const RecordingRun&) = delete;
    RecordingRun& operator=(const RecordingRun&) = delete;
    RecordingRun(RecordingRun&&) = delete;
    RecordingRun& operator=(RecordingRun&&) = delete;
    ~RecordingRun();

    void run();

private:
    enum class Outcome { recorded, skipped, aborted };

    Outcome recordEntry(int index, std::int16_t existingTrackCount);
    // Until the file's sound goes out; false when the player gave up on it or it never started.
    bool waitUntilPlaying();
    void showProgressUntilTheEnd();
    void stopRecorder();
    void reportSkipped();

    struct Skipped {
        QString path;
        QString reason;
    };

    RunHost& host;
    MediaPlayer& player;
    QMetaObject::Connection failureWatch;
    QString playerFailure;
    std::vector<Skipped> skipped;
};

} // namespace quorvex
