#pragma once

#include "link/recorder.h"
#include "run/recordingrun.h"
#include "tracks/entrygatherer.h"
#include "tracks/trackinfocache.h"
#include "tracks/tracklistfeed.h"
#include "tracks/tracklistmodel.h"
#include "tracks/tracktitles.h"

#include <memory>
#include <optional>
#include <vector>

namespace quorvex {

class EventPump;
class MediaPlayer;
class RunFeedback;
class SerialPort;
class SessionBus;

// Everything a recording needs besides its front end: the recorder (of the family chosen for the port), the
// Track list's entries with the tag cache, the gatherer and the feed that fill it, the titles, and the
// player. It runs one plan at a time and reports to the front end's feedback; the computer is kept from
// sleeping while it records.
class RecordingSession final {
public:
    struct Parts {
        SerialPort& serial;
        EventPump& pump;
        MediaPlayer& player;
        SessionBus& bus;
    };
    explicit RecordingSession(Parts given);
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;
    RecordingSession(RecordingSession&&) = delete;
    RecordingSession& operator=(RecordingSession&&) = delete;
    ~RecordingSession() = default;

    [[nodiscard]] Recorder& recorder() { return *deck; }
    [[nodiscard]] const Recorder& recorder() const { return *deck; }
    // Another family of recorder on the port from now on; the one before leaves first when the port is open.
    // Connections to the recorder's signals are made again by the caller. Refused during a run.
    Recorder& setFamily(RecorderFamily family);
    [[nodiscard]] TrackListModel& entries() { return list; }
    [[nodiscard]] const TrackListModel& entries() const { return list; }
    [[nodiscard]] TrackInfoCache& trackInfo() { return info; }
    [[nodiscard]] EntryGatherer& gatherer() { return gathering; }
    [[nodiscard]] TrackListFeed& feed() { return feeding; }
    [[nodiscard]] TrackTitles& titles() { return naming; }
    [[nodiscard]] const TrackTitles& titles() const { return naming; }
    [[nodiscard]] MediaPlayer& player() { return parts.player; }
    // The name the recorder is given for a title: Control-A1 its title field, a deck that keeps whole names
    // the whole title in the plain letters its names take.
    [[nodiscard]] QString recorderTitle(const TrackTitles::Derived& derived);
    [[nodiscard]] EventPump& pump() { return parts.pump; }

    // Whether files are still being gathered or fed into the list.
    [[nodiscard]] bool isAdding() const { return gathering.busy() || feeding.busy(); }
    // Files, folders and playlists into the list before `row` (at its end while a run walks it); what
    // cannot be added comes with the feed's `refused`.
    void add(const QStringList& paths, int row, std::vector<Refused> refused = {});

    // The planned entries lose their marks, the list only grows, and the run records them; the front end's
    // events go on meanwhile.
    RunSummary record(RunPlan plan, RunFeedback& feedback);
    [[nodiscard]] bool isRecording() const { return run != nullptr; }
    // A run's part of its disc's record, right after it: each track it made with its entry's whole title, the
    // title the recorder got, mark, length and source, as the Track list has them.
    [[nodiscard]] RecordedRun recordedRun(const RunSummary& summary);
    // The program ends during a run: the run's part of its disc's record so far, the entries being recorded
    // cut off. None without a run.
    [[nodiscard]] std::optional<RecordedRun> recordedSoFar();
    // The Track list as it stands as a disc's tracks, numbered from 1: whole titles and lengths, for a case
    // insert of the disc it will make.
    [[nodiscard]] std::vector<RecordedTrack> listedTracks() const;
    // Stop recording, when a run is under way.
    void requestStop();

private:
    // The disc read back after a run that made tracks, against what the run made; marks the entries whose
    // track is not on the disc as recorded.
    DiscCheck checkRun(RunSummary& summary);

    Parts parts;
    std::unique_ptr<Recorder> deck;
    TrackInfoCache info;
    TrackListModel list{info};
    EntryGatherer gathering;
    TrackListFeed feeding{list};
    TrackTitles naming;
    RecordingRun* run = nullptr; // the run under way
};

} // namespace quorvex
