#include "app/systemplatform.h"

#include "app/messages.h"
#include "platform/dbussessionbus.h"
#include "platform/deviceserialport.h"
#include "platform/inisettingsstore.h"
#include "platform/mpvmediaplayer.h"
#include "platform/qteventpump.h"
#include "widgets/messageboxdialogs.h"

namespace quorvex {

Platform makeSystemPlatform(const QString& audioOutput, const QString& everyPortDevice) {
    Platform platform;
    platform.settings = std::make_unique<IniSettingsStore>();
    platform.serial = std::make_unique<DeviceSerialPort>(*platform.settings, everyPortDevice);
    platform.dialogs = std::make_unique<MessageBoxDialogs>();
    platform.pump = std::make_unique<QtEventPump>();
    platform.player = std::make_unique<MpvMediaPlayer>(nullptr, audioOutput);
    // The demo (its recorder behind every Com button) works on any computer: without a sound output it plays
    // in silence, in real time, and says so.
    platform.player->setSilentFallback(!everyPortDevice.isEmpty());
    platform.exit = std::make_unique<ProcessExit>();
    platform.bus = std::make_unique<DBusSessionBus>();
    return platform;
}

std::optional<Platform> makePlatformOrSayWhy(const std::function<Platform()>& make, Dialogs& dialogs) {
    try {
        return make();
    } catch (const MediaPlayerUnavailable& failure) {
        dialogs.show({.text = QStringLiteral("The media player could not be started (%1).")
                                  .arg(QString::fromLocal8Bit(failure.what())),
                      .title = QString::fromLatin1(text::applicationTitle),
                      .icon = QMessageBox::Critical});
        return std::nullopt;
    }
}

} // namespace quorvex
