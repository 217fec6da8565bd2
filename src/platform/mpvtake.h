#pragma once

#include "platform/mediaplayer.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mpv/client.h>
#include <optional>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <utility>
#include <vector>

namespace quorvex {

class MpvHandle;

// What libmpv loads for an item: its file's absolute path, or for a part of a file an EDL of that part
// ("edl://%22%/music/Live/Album.flac,start=412.000000,length=213.000000"). libmpv plays an EDL as a file of
// its own, cut to the sample, with its own positions and duration, and ends it as a file: the tracks of one
// file follow each other in a take as files do (its `start` and `end` options would drop the sound still
// queued at each end).
[[nodiscard]] QString mpvTarget(const MediaItem& item);

// One gapless take on libmpv: its items, their playlist entries as the append requests' replies name them,
// which item libmpv decodes and which one is heard. When libmpv starts decoding an item, its audio-pts (which
// already accounts for the sound output's delay) says how long until its first sample is heard; the heard one
// moves on at that moment. With a long output buffer and short items libmpv may decode several items ahead
// of the one heard: each keeps its own moment. The player keeps one while a take is under way and hands it
// the events that concern the take.
class MpvTake final : public QObject {
    Q_OBJECT
public:
    // `nextRequest` gives the player's next request number, so the take's requests and the player's never
    // share one.
    MpvTake(MpvHandle& mpv, std::function<std::uint64_t()> nextRequest, std::vector<MediaItem> items);

    // Appends every file after the first to libmpv's list: nothing, or the first file libmpv refused at once
    // with its error (the ones after it are not appended).
    [[nodiscard]] std::optional<std::pair<QString, int>> appendRest();

    [[nodiscard]] int heard() const { return heardFile; }
    // The decoded file is ahead of the heard one.
    [[nodiscard]] bool crossing() const { return heardFile < decoding; }
    [[nodiscard]] double heardDuration() const;
    // Where the heard file stands while the decoder is ahead of it: its length less the time until the next
    // file is heard, when that is known.
    [[nodiscard]] std::optional<double> heardPosition() const;
    // The take's sound has all gone out: the last file decoded is the one heard.
    void ended();
    // Every append has been answered: the take's list is complete.
    [[nodiscard]] bool listed() const { return appends.empty(); }
    // The last file is decoded or failed; what was heard goes out, then libmpv closes the output.
    [[nodiscard]] bool draining() const { return drain; }

    void setFirstEntry(std::optional<std::int64_t> entry) { entries.front() = entry; }
    void setFirstDuration(std::optional<double> seconds) { durations.front() = seconds; }
    void setDecodedDuration(std::optional<double> seconds);

    // A command reply: an append's answer is noted; a file libmpv did not take is never played (refused).
    void answerAppend(const mpv_event& event);
    // A property reply: true when it answered the take's audio-pts request.
    bool answerPts(const mpv_event& event);
    // libmpv started an entry: the path of the take's file it is, when it is the take's next one.
    std::optional<QString> startedEntry(std::int64_t entry);

    enum class EntryEnd {
        playsOn,      // libmpv goes on with the next file
        lastDecoded,  // the last file is decoded; its sound still goes out
        outputFailed, // no output to go on with: the take ends here
        fileFailed,   // the file could not be played (ERROR or REDIRECT); the take goes on, or drains if last
        notTheTakes   // a stop or a quit: the player's own end of the file
    };
    // libmpv ended the entry being decoded.
    EntryEnd endedEntry(const mpv_event_end_file& end);

signals:
    void heardMoved();
    void refused(const QString& file, const QString& message);

private:
    using Clock = std::chrono::steady_clock;
    // A file libmpv has started decoding that is not heard yet, the moment it will be, once known, and when
    // that moment was last measured (its own audio-pts, or a later file's less the lengths between).
    struct Boundary {
        int file = 0;
        std::optional<Clock::time_point> heardAt;
        std::optional<Clock::time_point> measuredAt;
    };

    // Asks for the decoded file's audio-pts; its answer sets when that file is heard.
    void askAudioPts();
    void noteAudioPts(std::optional<double> audioPts);
    // The moment a file is heard where its audio-pts never told it (libmpv decoded it whole and left it
    // before its sound was queued: a short last file, say): the moment the file before it was heard, plus
    // that file's length. The take is one stream, so the lengths add up to the sample.
    void chainMoments();
    // The timer set for the next thing to do: a boundary due, or the decoded file's audio-pts asked again.
    void schedule();
    void boundaryTimerFired();
    [[nodiscard]] Boundary* pendingOf(int file);

    MpvHandle& mpv;
    std::function<std::uint64_t()> nextRequest;
    std::vector<MediaItem> items;
    std::vector<std::optional<std::int64_t>> entries;
    std::vector<std::optional<double>> durations;
    std::vector<std::pair<std::uint64_t, int>> appends; // request -> file, until answered
    int decoding = 0;
    int heardFile = 0;
    std::optional<Clock::time_point> heardSince; // when the heard file was first heard, where that is known
    std::deque<Boundary> pending;                // in the order decoded
    std::optional<std::uint64_t> ptsRequest;
    int ptsFile = 0; // the file the request asked about
    bool drain = false;
    QTimer boundaryTimer;
};

} // namespace quorvex
