#pragma once

#include "platform/platform.h"

#include <QString>

namespace quorvex {

// The real serial device, the user's settings file, Qt message boxes, the blocking event pump and the
// libmpv player, sounding through `audioOutput` (an mpv output name such as "pulse"; empty: mpv chooses).
// A non-empty `everyPortDevice` is the serial device behind every Com button for this session.
[[nodiscard]] Platform makeSystemPlatform(const QString& audioOutput = {},
                                          const QString& everyPortDevice = {});

} // namespace quorvex
