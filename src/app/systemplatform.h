#pragma once

#include "app/platform.h"

#include <functional>
#include <optional>
#include <QString>

namespace quorvex {

// The real serial device, the user's settings file, Qt message boxes, the blocking event pump and the
// libmpv player, sounding through `audioOutput` (an mpv output name such as "pulse"; empty: mpv chooses).
// A non-empty `everyPortDevice` is the serial device behind every Com button for this session: the demo,
// whose player then plays silently where no sound output can be opened. Sleep lock,
// screen saver and notifications go over the machine's system and session D-Bus.
[[nodiscard]] Platform makeSystemPlatform(const QString& audioOutput = {},
                                          const QString& everyPortDevice = {});

// The platform `make` gives, or nothing when the media player cannot be had at all: then a box on
// `dialogs` has said so, and the program can only end.
[[nodiscard]] std::optional<Platform> makePlatformOrSayWhy(const std::function<Platform()>& make,
                                                           Dialogs& dialogs);

} // namespace quorvex
