#include "platform/mpvsettings.h"

#include "platform/mediaplayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace quorvex {

namespace {

struct Setting {
    const char* name;
    const char* value;
};

// The -6 dB level, and what a file without ReplayGain gets under a ReplayGain level.
constexpr double fallbackDb = -6.0;
constexpr QLatin1String minus6Filter("lavfi-volume=volume=-6dB");

double dbOfFactor(double factor) {
    constexpr double decibelsPerDecade = 20.0;
    return decibelsPerDecade * std::log10(factor);
}

// The player's fixed settings.
// - Sound only: no video track, no video output, no subtitles, no side files, no scripts, no configuration,
//   no resumed positions, no terminal or key bindings.
// - Played once at normal speed: no looping; keep-open=no unloads the file when it has ended (so nothing is
//   rewound or held) and idle=yes keeps mpv waiting for the next file instead of quitting.
// - gapless-audio=no closes the sound output at the end of every file, and mpv closes it only after it has
//   played out everything buffered: the file's end is reported after its last sample, never before it.
// - The program's level starts at -6 dB, set as a fixed lavfi volume filter so that the listener's volume and
//   mute (mpv's volume and mute properties, 100 and off at the start) act on top of it without changing it.
//   No pan filter: the balance stays centred. setLevelOptions() changes it; see there.
// - ReplayGain, when a level asks for it, with no pre-amplification, -6 dB for files without gain, and
// limited
//   by the file's peak. libmpv 0.35 limits by the peak with replaygain-clip=no (its manual says the opposite;
//   the level tests at the sound sink hold it to what it does).
// - 5 s of buffering: demuxer-readahead-secs reads 5 s ahead of the playing position; cache-secs does
//   the same where mpv uses its cache (network sources; a local file is read directly).
// - No silent fallback: a sound output that cannot be opened ends the file with an error.
// - Every file goes out as 44.1 kHz, 16-bit stereo, what a MiniDisc recorder records, until
//   MediaPlayer::setSend44k(false) lets each go out as it is.
constexpr std::array settings{
    Setting{"vid", "no"},
    Setting{"vo", "null"},
    Setting{"sid", "no"},
    Setting{"audio-display", "no"},
    Setting{"audio-file-auto", "no"},
    Setting{"sub-auto", "no"},
    Setting{"terminal", "no"},
    Setting{"config", "no"},
    Setting{"input-default-bindings", "no"},
    Setting{"osc", "no"},
    Setting{"ytdl", "no"},
    Setting{"load-scripts", "no"},
    Setting{"resume-playback", "no"},
    Setting{"idle", "yes"},
    Setting{"keep-open", "no"},
    Setting{"loop-file", "no"},
    Setting{"loop-playlist", "no"},
    Setting{"gapless-audio", "no"},
    Setting{"speed", "1.0"},
    Setting{"pause", "no"},
    Setting{"af", "lavfi-volume=volume=-6dB"},
    Setting{"replaygain", "no"},
    Setting{"replaygain-preamp", "0"},
    Setting{"replaygain-fallback", "0"},
    Setting{"replaygain-clip", "no"},
    Setting{"volume", "100"},
    Setting{"volume-max", "100"},
    Setting{"mute", "no"},
    Setting{"demuxer-readahead-secs", "5"},
    Setting{"cache-secs", "5"},
    Setting{"audio-fallback-to-null", "no"},
    Setting{"stop-playback-on-init-failure", "yes"},
    Setting{"audio-samplerate", "44100"},
    Setting{"audio-format", "s16"},
    Setting{"audio-channels", "stereo"},
};

// Every setting is tried; mpv's error where it refused one, else 0.
template <std::size_t count>
int setAll(MpvHandle& mpv, const std::array<std::pair<const char*, QString>, count>& settings) {
    int error = 0;
    for (const auto& [name, value] : settings) {
        error = std::min(error, mpv.setText(name, value));
    }
    return error;
}

} // namespace

std::optional<QString> startMpv(MpvHandle& mpv, const QString& audioOutput) {
    std::optional<QString> refused;
    for (const Setting& setting : settings) {
        if (const int error = mpv.setOption(setting.name, QString::fromUtf8(setting.value)); error < 0) {
            refused = QStringLiteral("media player setting %1=%2 refused: %3")
                          .arg(QString::fromUtf8(setting.name), QString::fromUtf8(setting.value),
                               QString::fromUtf8(mpv_error_string(error)));
        }
    }
    if (!audioOutput.isEmpty()) {
        if (const int error = mpv.setOption("ao", audioOutput); error < 0) {
            refused =
                QStringLiteral("no sound output: \"%1\" is not a sound output the media player knows (%2)")
                    .arg(audioOutput, QString::fromUtf8(mpv_error_string(error)));
        }
    }
    if (const int error = mpv.initialize(); error < 0) {
        throw MediaPlayerUnavailable(mpv_error_string(error));
    }
    return refused;
}

int setRecorderFormat(MpvHandle& mpv, bool on) {
    const std::array<std::pair<const char*, QString>, 3> settings{
        {{"audio-samplerate", on ? QStringLiteral("44100") : QStringLiteral("0")},
         {"audio-format", on ? QStringLiteral("s16") : QStringLiteral("no")},
         {"audio-channels", on ? QStringLiteral("stereo") : QStringLiteral("auto-safe")}}};
    return setAll(mpv, settings);
}

// -6 dB is the fixed filter; every other level has no filter at all. Full level is then the player at unity
// (volume 100 is no software volume, and without a filter nothing converts or dithers what the decoder
// gives); ReplayGain is libmpv's own, applied with the volume.
int setLevelOptions(MpvHandle& mpv, Level level) {
    const bool replayGain = level == Level::trackGain || level == Level::albumGain;
    return setAll<3>(
        mpv, {{{"af", level == Level::minus6dB ? QString(minus6Filter) : QString()},
               {"replaygain", !replayGain                 ? QStringLiteral("no")
                              : level == Level::trackGain ? QStringLiteral("track")
                                                          : QStringLiteral("album")},
               {"replaygain-fallback", replayGain ? QString::number(fallbackDb) : QStringLiteral("0")}}});
}

double fixedLevelDb(std::optional<AlbumGain> gain) {
    if (!gain) {
        return fallbackDb;
    }
    // Nothing louder than the peak allows: the peak times the gain at most full scale.
    const double limit = gain->peak > 0.0 ? -dbOfFactor(gain->peak) : std::numeric_limits<double>::infinity();
    return std::min(gain->gain, limit);
}

// libmpv applies its fallback gain to every file while ReplayGain is off, at its output, to what is already
// buffered too: the level holds from the first sample to the last, the same for every file of a take.
int setFixedLevel(MpvHandle& mpv, std::optional<AlbumGain> gain) {
    return setAll<2>(mpv, {{{"replaygain", QStringLiteral("no")},
                            {"replaygain-fallback", QString::number(fixedLevelDb(gain), 'f', 6)}}});
}

} // namespace quorvex
