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
