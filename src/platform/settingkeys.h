#pragma once

#include <QLatin1String>
#include <QString>

namespace quorvex {

// One remembered value of MP3Quorvex.ini: the section and key it stands under and the text it has while
// nothing is stored. What the text means, and what a text that cannot be used counts as, is said where it is
// read (platform/settingvalues.h).
struct SettingKey {
    QLatin1String section;
    QLatin1String key;
    QLatin1String byDefault;
};

// Every section and key the program reads or writes, each declared once.
namespace setting {

inline constexpr QLatin1String commport("Commport");
inline constexpr QLatin1String general("General"); // which QSettings writes as [%General]

// The chosen Com button, 1 to 4.
inline constexpr SettingKey com{commport, QLatin1String("COM"), QLatin1String("1")};
// "Use ID3 tags to name MP3 tracks": "0" clear, any other number ticked.
inline constexpr SettingKey useId3{general, QLatin1String("Use ID3"), QLatin1String("1")};
// The file browser's volume and folder, as the drive letters and paths they were once written as.
inline constexpr SettingKey disk{general, QLatin1String("Disk"), QLatin1String("C")};
inline constexpr SettingKey dir{general, QLatin1String("Dir"), QLatin1String("C:\\")};
// The Disc menu.
inline constexpr SettingKey asciiTitles{general, QLatin1String("ASCII titles"), QLatin1String("0")};
inline constexpr SettingKey discLength{general, QLatin1String("Disc length"), QLatin1String("74")};
inline constexpr SettingKey gapless{general, QLatin1String("Gapless"), QLatin1String("0")};
inline constexpr SettingKey output{general, QLatin1String("Output"), QLatin1String("")};
inline constexpr SettingKey send44k{general, QLatin1String("44.1 kHz"), QLatin1String("1")};
inline constexpr SettingKey level{general, QLatin1String("Level"), QLatin1String("-6")};

// Device<n> in [Commport]: the serial device behind Com<n>. Nothing stored: /dev/ttyS<n-1>.
[[nodiscard]] inline QString deviceKey(int portNumber) {
    return QStringLiteral("Device%1").arg(portNumber);
}

// Recorder<n> in [Commport]: the family of recorder behind Com<n>, "control-a1" (also anything unknown) or
// "mds-e".
[[nodiscard]] inline QString recorderKey(int portNumber) {
    return QStringLiteral("Recorder%1").arg(portNumber);
}

} // namespace setting

} // namespace quorvex
