#pragma once

#include "platform/level.h"

#include <array>
#include <optional>
#include <QLatin1String>
#include <QString>

namespace quorvex {

class SettingsStore;
struct SettingKey;

inline constexpr int firstPort = 1;
inline constexpr int lastPort = 4;
inline constexpr int defaultPort = 1;

// The remembered Com port as a port number. Text that is no port number 1 to 4 (edited by hand,
// written by another program) gives Com1, so start-up always has an option button to select.
[[nodiscard]] int portNumberFromSetting(const QString& text);

// The remembered "Use ID3 tags" box: "0" clear, any other number ticked; text that is no number gives the
// default, ticked. (A greyed box would be read as ticked by the title rule while looking undecided.)
[[nodiscard]] Qt::CheckState useId3FromSetting(const QString& text);

// A remembered menu switch ("Plain ASCII titles", "Gapless", "Send 44.1 kHz"): "1" on, "0" off, anything
// else the switch's default.
[[nodiscard]] bool switchFromSetting(const QString& text, bool byDefault = false);
// The switch as the settings remember it, its key's default where they do not.
[[nodiscard]] bool rememberedSwitch(const SettingsStore& settings, const SettingKey& key);

// The disc lengths the Disc menu offers, in minutes of standard play; the remembered one is "60", "74" or
// "80", anything else the default, 74.
inline constexpr std::array<int, 3> discLengthsMinutes{60, 74, 80};
inline constexpr int defaultDiscMinutes = 74;
[[nodiscard]] int discMinutesFromSetting(const QString& text);

// The player's levels as the settings (and quorvex-record's --level) write them: "-6", "0", "track" and
// "album".
struct LevelName {
    Level level = Level::minus6dB;
    QLatin1String text;
};
inline constexpr std::array<LevelName, 4> levelNames{{{Level::minus6dB, QLatin1String("-6")},
                                                      {Level::full, QLatin1String("0")},
                                                      {Level::trackGain, QLatin1String("track")},
                                                      {Level::albumGain, QLatin1String("album")}}};
// The level a text names, if it names one.
[[nodiscard]] std::optional<Level> levelNamed(const QString& text);
// The remembered level: any text that names none is the default, -6 dB.
[[nodiscard]] Level levelFromSetting(const QString& text);
[[nodiscard]] QLatin1String levelText(Level level);

} // namespace quorvex
