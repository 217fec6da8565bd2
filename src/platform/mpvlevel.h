#pragma once

#include "platform/level.h"
#include "platform/mpvhandle.h"
#include "platform/mpvnodes.h"

#include <cstdint>
#include <functional>
#include <mpv/client.h>
#include <optional>

namespace quorvex {

// The player's level on libmpv: the program's level for each file (mpvsettings.h sets libmpv's options), and
// under ReplayGain what libmpv does not do by itself, fixed once the file's tags are known before it sounds:
// a gain tag without its peak tag (libmpv 0.35 reads such a file as 0 dB), and a gapless take's one level,
// its first file's album gain.
class MpvLevel {
public:
    // `nextRequest` numbers the requests made to libmpv; `refused` is told libmpv's error for a setting.
    MpvLevel(MpvHandle& mpv, std::function<std::uint64_t()> nextRequest, std::function<void(int)> refused);

    // The level chosen: at once, except during a take, which keeps the level it started with to its end.
    void choose(Level chosen);
    // A file is about to be loaded (a take's first too): it starts at the chosen level.
    void fileLoading();
    // The loaded file is the first of a gapless take; the take has ended.
    void takeStarting();
    void takeEnded();
    // The file has restarted: under ReplayGain its tags are asked for, once.
    void fileRestarted();
    // A property reply: true when it answered one of this level's requests.
    bool answer(const mpv_event& reply);
    // Under ReplayGain the file waits until its gain is known.
    [[nodiscard]] bool due() const { return levelDue; }

private:
    [[nodiscard]] bool replayGain() const { return level == Level::trackGain || level == Level::albumGain; }
    // Once libmpv has said the file's tags: a gain it has not read fixes the level; else a take asks for the
    // album gain libmpv read, and a single file keeps libmpv's own level.
    void levelFromTags(std::optional<double> gainWithoutPeak);
    // The one level of what plays until the next file is loaded (a take's: its first file's gain).
    void fix(std::optional<AlbumGain> gain);

    MpvHandle& mpv;
    std::function<std::uint64_t()> nextRequest;
    std::function<void(int)> refused;
    Level level = Level::minus6dB;
    bool inTake = false;
    bool levelDue = false;                  // the file waits until its gain is known
    bool levelFixed = false;                // libmpv's level options differ from the chosen level's
    std::optional<std::uint64_t> tagCheck;  // the request asking libmpv for the file's tags
    std::optional<std::uint64_t> gainCheck; // the one asking for the gain libmpv read (a take's first file)
};

} // namespace quorvex
