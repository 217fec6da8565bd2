#pragma once

#include <cstdint>
#include <QMetaObject>
#include <QString>
#include <vector>

namespace quorvex {

class MediaPlayer;
class RunHost;

// One press of Record: every entry of the Track list, in order, becomes one new track on the disc,
// numbered after the tracks already there. Per entry the file is first opened and made ready to play,
// so a file that cannot play never reaches the recorder; then the recorder is armed and started, the
// file is played, the track is named once its sound is going out, and the recorder is stopped when it
// ends. Every wait hands the thread to the event loop, so the window stays alive throughout.
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

    Outcome recordEntry(int index);
    // Until the player says `state` (or, with `state` playing, that the sound goes out); false when it
    // gave up on the file or did not get there in time.
    bool waitForPlayer(int state);
    void showProgressUntilTheEnd();
    // A recorder the run armed gets its stop in any mode; otherwise the stop follows "Insert pauses".
    void stopRecorder(bool armed);
    void skip(const QString& path, const QString& fallbackReason);
    void reportSkipped();

    struct Skipped {
        QString path;
        QString reason;
    };

    RunHost& host;
    MediaPlayer& player;
    QMetaObject::Connection failureWatch;
    QString currentPath;
    QString playerFailure;
    std::int16_t existingTrackCount = 0;
    // Entries of this run that made a track: the recorder took their record command (in pause mode:
    // their sound started). The next title goes to the track after these.
    std::int16_t tracksMade = 0;
    std::vector<Skipped> skipped;
};

} // namespace quorvex
