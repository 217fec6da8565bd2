#include "run/fitcheck.h"

#include "link/recorder.h"
#include "tracks/formatseconds.h"

#include <algorithm>
#include <cmath>
#include <QStringList>

namespace quorvex {

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr milliseconds pauseAfterEntry{4000};

double inSeconds(milliseconds time) {
    return std::chrono::duration<double>(time).count();
}

// The names beyond the recorder's free title space, in list order.
std::optional<QString> namesQuestion(const FitInput& input) {
    if (!input.disc.freeTitleCharacters) {
        return std::nullopt;
    }
    QStringList over;
    qsizetype used = 0;
    for (const QString& name : input.names) {
        used += name.size();
        if (used > *input.disc.freeTitleCharacters) {
            over.append(name);
        }
    }
    if (over.isEmpty()) {
        return std::nullopt;
    }
    return QStringLiteral("These titles do not fit the recorder's free title space (%1 characters):\n%2")
        .arg(*input.disc.freeTitleCharacters)
        .arg(over.join(QLatin1Char('\n')));
}

} // namespace

std::optional<QString> fitQuestion(const FitInput& input) {
    const seconds discLength = std::chrono::minutes{input.discMinutes};
    const seconds recorded{input.pauseMode ? 0 : input.disc.minutes * 60 + input.disc.seconds};
    const milliseconds free = input.disc.freeSeconds && !input.pauseMode
                                  ? seconds{std::max(*input.disc.freeSeconds, 0)}
                                  : std::max(discLength - recorded, seconds{0});

    milliseconds needed{0};
    int unknown = 0;
    for (const std::optional<milliseconds>& length : input.lengths) {
        needed += length.value_or(milliseconds{0}) + (input.pauseMode ? pauseAfterEntry : milliseconds{0});
        unknown += length.has_value() ? 0 : 1;
    }
    const auto entries = static_cast<int>(input.lengths.size());
    const int freeTracks = std::max(maxDiscTracks - input.disc.tracks, 0);

    QString question;
    // The need is shown rounded up: a list over by part of a second never reads as fitting.
    if (needed > free) {
        question = QStringLiteral("The list needs %1 but the disc has %2 free.")
                       .arg(formatSeconds(std::ceil(inSeconds(needed))), formatSeconds(inSeconds(free)));
    } else if (!input.pauseMode && entries > freeTracks) {
        question = QStringLiteral("The list has %1 entries but the disc can take only %2 more tracks.")
                       .arg(entries)
                       .arg(freeTracks);
    } else {
        return namesQuestion(input);
    }
    if (unknown == 1) {
        question += QStringLiteral("\n1 file of unknown length is not counted.");
    } else if (unknown > 1) {
        question += QStringLiteral("\n%1 files of unknown length are not counted.").arg(unknown);
    }
    return question;
}

} // namespace quorvex
