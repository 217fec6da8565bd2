#pragma once

#include "platform/mediaplayer.h"

#include <cstdint>
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
// which item libmpv decodes and which one is heard. The heard one moves on when the decoded one's audio-pts
// (which already accounts for the sound output's delay) passes 0. The player keeps one while a take is
// under way and hands it the events that concern the take.
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
    // The decoded file is ahead of the heard one: the heard one's last moments still sound.
    [[nodiscard]] bool crossing() const { return heardFile < decoding; }
    [[nodiscard]] double heardDuration() const;
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
    // Asks for the decoded file's audio-pts; its answer sets when the boundary is heard.
    void askAudioPts();
    void scheduleBoundary(std::optional<double> audioPts);
    void boundaryTimerFired();

    MpvHandle& mpv;
    std::function<std::uint64_t()> nextRequest;
    std::vector<MediaItem> items;
    std::vector<std::optional<std::int64_t>> entries;
    std::vector<std::optional<double>> durations;
    std::vector<std::pair<std::uint64_t, int>> appends; // request -> file, until answered
    int decoding = 0;
    int heardFile = 0;
    std::optional<std::uint64_t> ptsRequest;
    bool crossWhenTimerFires = false;
    bool drain = false;
    QTimer boundaryTimer;
};

} // namespace quorvex
