#pragma once

#include "platform/platform.h"

#include <QString>

namespace quorvex {

// The real serial device, the user's settings file, Qt message boxes, the blocking event pump and the
// libmpv player, sounding through `audioOutput` (an mpv output name such as "pulse"; empty: mpv chooses).
[[nodiscard]] Platform makeSystemPlatform(const QString& audioOutput = {});

} // namespace quorvex
