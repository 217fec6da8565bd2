#pragma once

#include "platform/eventpump.h"
#include "platform/mediaplayer.h"
#include "platform/programexit.h"
#include "platform/serialport.h"
#include "platform/sessionbus.h"
#include "platform/settingsstore.h"
#include "widgets/dialogs.h"

#include <memory>

namespace quorvex {

// Everything outside the program that the window talks to. The window owns the set; the settings
// come first because the serial port reads its device names from them.
struct Platform {
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<SerialPort> serial;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<EventPump> pump;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<ProgramExit> exit;
    std::unique_ptr<SessionBus> bus;
};

} // namespace quorvex
