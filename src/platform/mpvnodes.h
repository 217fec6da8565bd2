#pragma once

#include "platform/mediaplayer.h"

#include <cstdint>
#include <mpv/client.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

// What libmpv's nodes say, as values.

// A property reply's node; none where libmpv had no value or gave another format.
[[nodiscard]] const mpv_node* nodeOfReply(const mpv_event& reply);

// The playlist entry a loadfile command's reply names ("playlist_entry_id"), if it names one.
[[nodiscard]] std::optional<std::int64_t> playlistEntryOfReply(const mpv_node& result);

// libmpv's audio-device-list: an array of maps with "name" and "description". "auto" (the system's default)
// and entries without a name are left out; anything that is not such an array lists nothing.
[[nodiscard]] std::vector<SoundOutput> soundOutputsOfList(const mpv_node& list);

// The album gain libmpv read for an audio track, in dB, with its peak (0 where the file gives none, as with
// Opus's R128 gains). libmpv fills a file's album values from its track values where the file has no album
// gain.
struct AlbumGain {
    double gain = 0.0;
    double peak = 0.0;
};
// A current-tracks/audio map's album gain; none when libmpv read no ReplayGain for the track.
[[nodiscard]] std::optional<AlbumGain> albumGainOfTrack(const mpv_node& track);

// A ReplayGain gain the file's tags give without its peak, from libmpv's metadata map (keys in any letter
// case, values such as "-3.50 dB"): libmpv 0.35 reads such a file as 0 dB, so the player applies it itself.
// `album`: the album gain, or the track gain where the file has no album gain (libmpv's own fallback);
// otherwise the track gain. None where the gain comes with its peak (libmpv's reading is right), where
// there is none, and for a value that is no number of dB within +-60.
[[nodiscard]] std::optional<double> gainWithoutPeak(const mpv_node& metadata, bool album);

// The last values libmpv reported for the player's observed properties.
struct MpvObserved {
    double timePos = 0.0;
    std::optional<double> duration;
    bool pause = false;
    bool coreIdle = true;
    std::string output; // current-ao: empty while no sound output is open
    double volume = 100.0;
    bool mute = false;

    // Takes in a property change; names it does not keep change nothing. mpv drops the position when the file
    // ends: the last one reached stays.
    void apply(const mpv_event_property& property);
};

} // namespace quorvex
