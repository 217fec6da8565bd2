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

// The player's fixed settings.
// - Sound only: no video track, no video output, no subtitles, no side files, no scripts, no configuration,
//   no resumed positions, no terminal or key bindings.
// - Played once at normal speed: no looping; keep-open=no unloads the file when it has ended (so nothing is
//   rewound or held) and idle=yes keeps mpv waiting for the next file instead of quitting.
// - gapless-audio=no closes the sound output at the end of every file, and mpv closes it only after it has
//   played out everything buffered: the file's end is reported after its last sample, never before it.
// - The program's level starts at -6 dB, set as a fixed lavfi volume filter so that the listener's volume and
//   mute (mpv's volume and mute properties, 100 and off at the start) act on top of it without changing it.
//   No pan filter: the balance stays centred. setLevelFilter() changes it; see there.
// - libmpv's own ReplayGain stays off: the player knows each file's gain from its tags before the file is
//   loaded and sets it as the level filter (its software gain at the output would come late for what is
//   already buffered, and rounds less exactly than the filter).
// - The short buffers of a preview (mpv's defaults: 0.2 s in the player, 100 ms at PulseAudio); a run asks
//   for long ones (setRunBuffer()).
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

int setLevelFilter(MpvHandle& mpv, double db) {
    return mpv.setText("af",
                       db == 0.0 ? QString() : QStringLiteral("lavfi-volume=volume=%1dB").arg(db, 0, 'f', 6));
}

// A second at the sound server covers many times over the stalls of a busy machine (a build beside the run
// leaves even a normal-priority thread unscheduled for a tenth of a second and more, where mpv's 100 ms at
// the server run dry); mpv's own buffer holds as much, so its decoder may be late as long. The first sample
// still goes out as soon as the output is started, and a file's end is reported once the server has played it
// out.
int setRunBuffer(MpvHandle& mpv, bool on) {
    const std::array<std::pair<const char*, QString>, 3> settings{
        {{"pulse-buffer", on ? QStringLiteral("1000") : QStringLiteral("100")},
         {"pipewire-buffer", on ? QStringLiteral("1000") : QStringLiteral("20")},
         {"alsa-buffer-time", on ? QStringLiteral("1000000") : QStringLiteral("100000")}}};
    return setAll(mpv, settings);
}

} // namespace quorvex
