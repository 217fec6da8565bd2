#pragma once

#include "platform/mediaplayer.h"

#include <cstdint>
#include <mpv/client.h>
#include <optional>
#include <vector>

namespace quorvex {

// What libmpv's nodes say, as values.

// The playlist entry a loadfile command's reply names ("playlist_entry_id"), if it names one.
[[nodiscard]] std::optional<std::int64_t> playlistEntryOfReply(const mpv_node& result);

// libmpv's audio-device-list: an array of maps with "name" and "description". "auto" (the system's default)
// and entries without a name are left out; anything that is not such an array lists nothing.
[[nodiscard]] std::vector<SoundOutput> soundOutputsOfList(const mpv_node& list);

} // namespace quorvex
