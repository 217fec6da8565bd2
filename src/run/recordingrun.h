#pragma once

#include "platform/mediaplayer.h"
#include "run/disccheck.h"
#include "run/discrecord.h"
#include "tracks/entrymark.h"
#include "tracks/tagfields.h"
#include "tracks/tracksource.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <QDateTime>
#include <QMetaObject>
#include <QString>
#include <set>
#include <utility>
#include <vector>

namespace quorvex {

struct DiscState;
class RecordingSession;
class RunFeedback;

// What one press of Record is to record: Track list positions, in order, the disc's length, whether the
// entries go onto the disc as one gapless take, and the level they are played at.
struct RunPlan {
    std::vector<int> entries;
    int discMinutes = 0;
    bool gapless = false;
    Level level = Level::minus6dB;
};

// How a run ended: entries that became whole tracks, entries passed over, entries whose track holds only a
// part of them, and whether Stop recording ended it.
struct RunSummary {
    int recorded = 0;
    int skipped = 0;
    int cutShort = 0;
    bool stopped = false;
    bool aborted = false; // the recorder did not acknowledge recording, or no sound output could be opened
    // For the disc's record: when the run started, what the disc held then (nothing in pause mode), and each
    // entry that made a track with that track's number (the rest is on the Track list, which only grows
    // during a run).
    struct Made {
        int entry = 0;
        int number = 0;
        int spanTicks = 0; // from the record acknowledgement (or the mark) to the stop (or the next mark)
    };
    QDateTime started;
    std::optional<DiscContents> discBefore;
    std::vector<Made> tracksMade;
    // What the disc read back after the run says of it; none when the run made no track or the line broke.
    std::optional<DiscCheck> check;
    std::vector<int> notOnDisc; // tracks the recorder took but its table of contents did not show after
};

// What the player plays for a Track list entry: its file whole, or a cue track's part of it, with the file's
// ReplayGain tags.
[[nodiscard]] MediaItem mediaItemOf(const TrackSource& source);

// The message of a run that found no sound output; `reason` is the player's, on one line.
[[nodiscard]] QString noSoundOutputText(const QString& reason);
// A run's outcome in a line: "Quorvex: 10 tracks recorded, 1 cut short, 1 skipped" (cut short only where
// there are such).
[[nodiscard]] QString runSummaryText(const RunSummary& summary);

// One press of Record: every planned entry of the Track list, in order, becomes one new track on the
// disc, numbered after the tracks already there. Once the disc has said what it holds, a list that does
// not fit is put to the user. Per entry the file is first opened and made ready to play, so a file that
// cannot play never reaches the recorder; then the recorder is armed and started, the file is played,
// the track is named once its sound is going out, and the recorder is stopped when it ends. Every wait
// hands the thread to the event loop, so the window stays alive throughout, and Stop recording can end
// the run at any of them.
//
// A gapless run (not in pause mode) is one take instead: the files that cannot play are found first and
// left out; the recorder records once while the player plays the rest one after another with no gap, and
// each file's first sample reaching the sound output gets a record command (a track mark on a recorder
// that is already recording) and its title; the recorder stops after the last file's last sample.
class RecordingRun {
public:
    RecordingRun(RecordingSession& session, RunFeedback& feedback, RunPlan plan);
    RecordingRun(const RecordingRun&) = delete;
    RecordingRun& operator=(const RecordingRun&) = delete;
    RecordingRun(RecordingRun&&) = delete;
    RecordingRun& operator=(RecordingRun&&) = delete;
    ~RecordingRun();

    RunSummary run();
    // Stop recording: the player stops, an armed recorder gets its stop (whose acknowledgement is awaited
    // as after every track) and no further entry is recorded.
    void requestStop();
    // The program ends in the middle of the run (its front end has stopped the recorder): every entry being
    // recorded is marked as Stop recording marks it, and what the run has done so far is its summary.
    RunSummary endNow();

private:
    enum class Outcome { recorded, skipped, stopped, aborted };
    // Why a track's sound ended before the file's end.
    struct Cut {
        QString reason;
        double at = 0; // seconds into the file
    };

    bool fitsOrRecordAnyway(const DiscState& disc);
    // The entry the run turns to, shown, with the title it is recorded under.
    struct Entry {
        QString path; // as the Track list shows it, for its mark
        MediaItem item;
        QString title;
        QString recorderTitle; // the name the recorder is given (whole, for a deck that keeps whole names)
    };
    Entry turnTo(int index);
    // The entry made the track after the ones made so far.
    void trackMade(int index);
    // The track being recorded has ended (at a stop, or a take's next mark).
    void endSpan();
    // A run that ends in pause mode has the front end say what pause mode asks of the user.
    void remindPauseMode();
    Outcome recordEntry(int index);
    // The gapless take (recordingtake.cpp).
    struct TakeFile {
        std::size_t position; // in the plan
        int index;            // in the Track list
        QString path;         // as the Track list shows it
        MediaItem item;
        QString title;
        QString recorderTitle;
    };
    std::vector<TakeFile> playableTakeFiles();
    Outcome recordTake();
    Outcome startTake(const std::vector<TakeFile>& files);
    // The recorder gets a track mark and the title for each file of the take heard since `heard`.
    void markTracksUntil(const std::vector<TakeFile>& files, std::size_t& heard);
    void showTakeFile(const TakeFile& file);
    [[nodiscard]] std::optional<QString> takeFailure(const QString& path) const;
    // Marks a file of the take recorded; when the player said it failed, or the file after it failed, cut
    // short if it had sounded, else skipped.
    void finishTakeFile(const TakeFile& file, bool sounded, bool nextFailed);
    Outcome endTake(const std::vector<TakeFile>& files, std::size_t heard, const std::optional<Cut>& cut);
    // Sends record and play and waits for the record acknowledgement: no outcome yet when the recorder
    // records; otherwise the entry has ended as the outcome says.
    std::optional<Outcome> startRecorder(int index);
    void showPlayingTime();
    // Ends the entry the press of Stop recording caught, stopping the recorder if it was armed.
    Outcome cutOff(int index, bool armed);
    // The entry's track is not on the disc: marked so; a run of single tracks goes on, a take ends.
    Outcome noNewTrack(int index, bool goOn);
    [[nodiscard]] Cut stoppedByItself() const;
    // Until the player says `state` (or, with `state` playing, that the sound goes out); false when it
    // gave up on the file, did not get there in time, or the run was stopped.
    bool waitForPlayer(int state);
    // Follows the sound until it ends: nothing when the file was heard to its end or Stop recording was
    // pressed, else why and where it was cut. Buffering, the output reopening or a seek settling never end
    // it; a player whose position stands still for playerLimitTicks has stalled. `eachPass` runs after every
    // pass of the event loop.
    std::optional<Cut> followSound(const std::function<void()>& eachPass);
    // Ends the run when the player found no sound output: said once, and the entry under way (if its track
    // was made) marked cut short.
    Outcome noSoundOutput(int index, bool trackMade, double at);
    void showProgress(double positionInEntry);
    // A recorder the run armed gets its stop in any mode; otherwise the stop follows "Insert pauses". True
    // when the recorder made fewer tracks than it was told to; titles it did not take are noted on their
    // entries.
    bool stopRecorder(bool armed);
    static QString unnamedReason();
    // Waits the run may cut short when Stop recording is pressed during them.
    void delay(std::int16_t milliseconds);
    // Marks the entry; one not recorded whole is named, with its mark, in the box at the run's end.
    void mark(int index, const QString& path, const EntryMark& given);
    void markCutShort(int index, const QString& path, const Cut& cut);
    void skip(int index, const QString& path, const QString& fallbackReason);
    void reportNotWhole();

    struct NotWhole {
        QString path;
        QString mark; // as the entry's tool tip says it
        EntryState state;
    };

    RecordingSession& session;
    RunFeedback& feedback;
    MediaPlayer& player;
    const RunPlan plan;
    QMetaObject::Connection failureWatch;
    QMetaObject::Connection outputWatch;
    QString currentPath; // the entry under way, as the Track list shows it
    QString currentFile; // its sound file, as the player names it in a failure
    QString playerFailure;
    std::optional<QString> outputFailure;                  // no sound output could be opened, or it was lost
    std::vector<std::pair<QString, QString>> takeFailures; // path and reason, for the files of a take
    std::int16_t existingTrackCount = 0;
    // Entries of this run that made a track: the recorder took their record command (in pause mode:
    // their sound started). The next title goes to the track after these.
    std::int16_t tracksMade = 0;
    std::vector<NotWhole> notWhole;
    std::map<int, int> trackOf;            // entry -> the track it made on the disc
    std::map<int, std::uint64_t> spanFrom; // entry -> the recorder's Tick its track began at
    std::map<int, int> spanTicks;          // entry -> how long its track was recorded, once it ended
    std::optional<int> recordingEntry;     // the entry whose track the recorder records now
    std::map<int, QString> titleOf;        // entry -> the title as the recorder got it
    std::set<std::int16_t> unnamed;        // tracks whose title the recorder did not confirm
    std::map<int, QString> wholeTitleOf;   // entry -> that title whole, in its own script
    QString shownTime;                     // the Status line's playing time, as last shown
    double takePosition = 0;               // where in its file the take was heard at the last pass
    std::vector<std::optional<std::chrono::milliseconds>> lengths; // per planned entry
    std::size_t position = 0;                                      // the planned entry under way
    bool stopRequested = false;
    bool inCuttableWait = false;
    RunSummary summary;
};

} // namespace quorvex
