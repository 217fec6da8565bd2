#pragma once

#include "platform/platform.h"

namespace quorvex {

// The real serial device, the user's settings file, Qt message boxes and the blocking event pump.
[[nodiscard]] Platform makeSystemPlatform();

} // namespace quorvex
