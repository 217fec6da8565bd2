#include "run/disccheck.h"

#include "tracks/formatseconds.h"

#include <cstdlib>
#include <numeric>

namespace quorvex {

namespace {

constexpr int toleranceSeconds = 2; // per track
constexpr int secondsPerMinute = 60;

QString minutesAndSeconds(int seconds) {
    return formatSeconds(static_cast<double>(seconds));
}

QString tracksAndTime(int tracks, int seconds) {
    return QStringLiteral("%1 %2, %3")
        .arg(tracks)
        .arg(tracks == 1 ? QStringLiteral("track") : QStringLiteral("tracks"), minutesAndSeconds(seconds));
}

int totalSeconds(const DiscState& disc) {
    return disc.minutes * secondsPerMinute + disc.seconds;
}

// Each track on its own: there, as long as recorded, named as written.
void checkTracks(DiscCheck& check, std::span<const MadeTrack> made) {
    for (const MadeTrack& track : made) {
        const auto found =
            std::find_if(check.read.tracks.begin(), check.read.tracks.end(),
                         [&track](const ReadBack::Track& read) { return read.number == track.number; });
        if (found == check.read.tracks.end() || !found->seconds) {
            check.differences.append(QStringLiteral("Track %1 is not on the disc.").arg(track.number));
            check.marks.push_back({.entry = track.entry,
                                   .mark = {.state = EntryState::skipped,
                                            .reason = QStringLiteral("not on the disc"),
                                            .at = 0}});
            continue;
        }
        const int seconds = *found->seconds;
        if (std::abs(seconds - track.recordedSeconds) > toleranceSeconds) {
            const bool early = seconds < track.recordedSeconds;
            check.differences.append(
                QStringLiteral("Track %1 is %2 on the disc but %3 was recorded%4.")
                    .arg(track.number)
                    .arg(minutesAndSeconds(seconds), minutesAndSeconds(track.recordedSeconds),
                         early ? QStringLiteral(" (the recorder stopped early)") : QString()));
            if (early) {
                check.marks.push_back({.entry = track.entry,
                                       .mark = {.state = EntryState::cutShort,
                                                .reason = QStringLiteral("the recorder stopped early"),
                                                .at = static_cast<double>(seconds)}});
            }
        }
        if (found->name && *found->name != track.name) {
            check.misnamed.push_back(track);
        }
    }
}

} // namespace

QString misnamedText(int track, const QString& read, const QString& written) {
    return QStringLiteral("Track %1's title reads \"%2\" instead of \"%3\".").arg(track).arg(read, written);
}

DiscCheck notCheckedInPauseMode() {
    return {.outcome = DiscCheck::Outcome::pauseMode,
            .summary = QStringLiteral("The disc was not checked (pause mode)."),
            .differences = {},
            .marks = {},
            .misnamed = {},
            .read = {}};
}

DiscCheck checkDisc(const std::optional<DiscContents>& before, std::span<const MadeTrack> made,
                    const ReadBack& read) {
    DiscCheck check{.outcome = DiscCheck::Outcome::noAnswer,
                    .summary = QStringLiteral("The disc could not be checked: the recorder did not answer."),
                    .differences = {},
                    .marks = {},
                    .misnamed = {},
                    .read = read};
    if (!read.answered) {
        return check;
    }
    if (read.tracks.empty()) {
        // Only a count and a total: a difference is said as a whole.
        const int recorded =
            std::accumulate(made.begin(), made.end(), 0,
                            [](int sum, const MadeTrack& track) { return sum + track.recordedSeconds; });
        const int tracks = before.value_or(DiscContents{}).tracks + static_cast<int>(made.size());
        const int seconds = before.value_or(DiscContents{}).seconds + recorded;
        if (read.disc.tracks != tracks ||
            std::abs(totalSeconds(read.disc) - seconds) > toleranceSeconds * static_cast<int>(made.size())) {
            check.differences.append(QStringLiteral("The disc holds %1; %2 were expected.")
                                         .arg(tracksAndTime(read.disc.tracks, totalSeconds(read.disc)),
                                              tracksAndTime(tracks, seconds)));
        }
    } else {
        checkTracks(check, made);
    }
    concludeCheck(check);
    return check;
}

void concludeCheck(DiscCheck& check) {
    if (!check.read.answered) {
        return;
    }
    check.outcome = check.differences.isEmpty() && check.misnamed.empty() ? DiscCheck::Outcome::asPlanned
                                                                          : DiscCheck::Outcome::differs;
    check.summary = check.differences.isEmpty()
                        ? QStringLiteral("The disc holds what was recorded: %1.")
                              .arg(tracksAndTime(check.read.disc.tracks, totalSeconds(check.read.disc)))
                        : check.differences.join(QLatin1Char(' '));
}

} // namespace quorvex
