#include "platform/mpvtake.h"

#include "platform/mpverrors.h"
#include "platform/mpvhandle.h"
#include "platform/mpvnodes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <QFileInfo>

namespace quorvex {

QString mpvTarget(const MediaItem& item) {
    QString path = QFileInfo(item.path).absoluteFilePath();
    if (item.start <= 0 && !item.end) {
        return path;
    }
    // %n% gives the name's length in bytes, so no character of it is read as EDL syntax.
    // One pass of arg(), so that a '%' in the name is never taken for a place to fill.
    QString target =
        QStringLiteral("edl://%%1%%2,start=%3")
            .arg(QString::number(path.toUtf8().size()), path, QString::number(item.start, 'f', 6));
    if (item.end) {
        target += QStringLiteral(",length=%1").arg(*item.end - item.start, 0, 'f', 6);
    }
    return target;
}

MpvTake::MpvTake(MpvHandle& mpv, std::function<std::uint64_t()> nextRequest, std::vector<MediaItem> items)
    : mpv(mpv), nextRequest(std::move(nextRequest)), items(std::move(items)) {
    const std::size_t count = this->items.size();
    entries.resize(count);
    durations.resize(count);
    boundaryTimer.setSingleShot(true);
    boundaryTimer.setTimerType(Qt::PreciseTimer);
    connect(&boundaryTimer, &QTimer::timeout, this, &MpvTake::boundaryTimerFired);
}

std::optional<std::pair<QString, int>> MpvTake::appendRest() {
    for (int file = 1; file < static_cast<int>(items.size()); ++file) {
        const std::uint64_t request = nextRequest();
        const MediaItem& item = items.at(static_cast<std::size_t>(file));
        const QString next = QFileInfo(item.path).absoluteFilePath();
        if (const int error =
                mpv.command(request, {QStringLiteral("loadfile"), mpvTarget(item), QStringLiteral("append")});
            error < 0) {
            return std::pair(next, error);
        }
        appends.emplace_back(request, file);
    }
    return std::nullopt;
}

double MpvTake::heardDuration() const {
    return durations.at(static_cast<std::size_t>(heardFile)).value_or(0.0);
}

void MpvTake::setDecodedDuration(std::optional<double> seconds) {
    durations.at(static_cast<std::size_t>(decoding)) = seconds;
}

void MpvTake::answerAppend(const mpv_event& event) {
    const auto append = std::find_if(appends.begin(), appends.end(), [&event](const auto& request) {
        return request.first == event.reply_userdata;
    });
    if (append == appends.end()) {
        return;
    }
    const int file = append->second;
    appends.erase(append);
    const std::optional<std::int64_t> entry =
        event.error < 0 ? std::nullopt
                        : playlistEntryOfReply(static_cast<const mpv_event_command*>(event.data)->result);
    entries.at(static_cast<std::size_t>(file)) = entry;
    if (!entry) {
        const QString name = QFileInfo(items.at(static_cast<std::size_t>(file)).path).absoluteFilePath();
        emit refused(name, cannotPlayText(name, event.error));
    }
}

bool MpvTake::answerPts(const mpv_event& event) {
    if (!ptsRequest || event.reply_userdata != *ptsRequest) {
        return false;
    }
    ptsRequest.reset();
    const auto* const property = static_cast<const mpv_event_property*>(event.data);
    const bool known = event.error >= 0 && property->format == MPV_FORMAT_DOUBLE;
    noteAudioPts(known ? std::optional(*static_cast<const double*>(property->data)) : std::nullopt);
    return true;
}

std::optional<QString> MpvTake::startedEntry(std::int64_t entry) {
    const auto found = std::find(entries.begin(), entries.end(), std::optional(entry));
    const auto file = static_cast<int>(found - entries.begin());
    if (found == entries.end() || file <= decoding) {
        return std::nullopt;
    }
    decoding = file;
    pending.push_back({.file = file, .heardAt = std::nullopt, .measuredAt = std::nullopt});
    askAudioPts();
    return QFileInfo(items.at(static_cast<std::size_t>(file)).path).absoluteFilePath();
}

MpvTake::EntryEnd MpvTake::endedEntry(const mpv_event_end_file& end) {
    const bool last = decoding == static_cast<int>(items.size()) - 1;
    if (last && end.reason == MPV_END_FILE_REASON_EOF) {
        // Without gaps libmpv ends a file once it is decoded, while its sound is still queued (several files'
        // sound, with a long buffer). At the end of the list it plays the queue out and then closes the
        // output: that is the take's end.
        drain = true;
        return EntryEnd::lastDecoded;
    }
    if (end.reason == MPV_END_FILE_REASON_ERROR && end.error == MPV_ERROR_AO_INIT_FAILED) {
        return EntryEnd::outputFailed;
    }
    if (end.reason == MPV_END_FILE_REASON_ERROR || end.reason == MPV_END_FILE_REASON_REDIRECT) {
        // What was heard before it is whole: the take ends once that has gone out.
        drain = last;
        return EntryEnd::fileFailed;
    }
    return end.reason == MPV_END_FILE_REASON_EOF ? EntryEnd::playsOn : EntryEnd::notTheTakes;
}

void MpvTake::askAudioPts() {
    ptsFile = decoding;
    ptsRequest = nextRequest();
    if (mpv.getProperty(*ptsRequest, "audio-pts", MPV_FORMAT_DOUBLE) < 0) {
        ptsRequest.reset();
        noteAudioPts(std::nullopt);
    }
}

MpvTake::Boundary* MpvTake::pendingOf(int file) {
    const auto found = std::find_if(pending.begin(), pending.end(),
                                    [file](const Boundary& boundary) { return boundary.file == file; });
    return found == pending.end() ? nullptr : &*found;
}

void MpvTake::noteAudioPts(std::optional<double> audioPts) {
    // audio-pts is the decoded file's: an answer that comes after the decoder moved on tells nothing.
    Boundary* const boundary = pendingOf(ptsFile);
    if (audioPts && ptsFile == decoding && boundary != nullptr) {
        boundary->measuredAt = Clock::now();
        boundary->heardAt =
            *boundary->measuredAt + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(std::max(-*audioPts, 0.0)));
    }
    schedule();
}

void MpvTake::chainMoments() {
    const auto lengthOf = [this](int file) -> std::optional<Clock::duration> {
        const std::optional<double> seconds = durations.at(static_cast<std::size_t>(file));
        return seconds ? std::optional(std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double>(*seconds)))
                       : std::nullopt;
    };
    // Backwards from a file whose moment was measured later: the one before it is heard its length earlier.
    for (std::size_t at = pending.size(); at-- > 1;) {
        Boundary& before = pending[at - 1];
        const Boundary& after = pending[at];
        const std::optional<Clock::duration> length = lengthOf(before.file);
        const bool newer = after.measuredAt && (!before.measuredAt || *after.measuredAt > *before.measuredAt);
        if (after.heardAt && length && (!before.heardAt || newer)) {
            before.heardAt = *after.heardAt - *length;
            before.measuredAt = after.measuredAt;
        }
    }
    // Forwards from the heard file, where no later moment is known: after the file before it, its length on.
    std::optional<Clock::time_point> previousAt = heardSince;
    int previous = heardFile;
    for (Boundary& boundary : pending) {
        const std::optional<Clock::duration> length = lengthOf(previous);
        if (!boundary.heardAt && previousAt && length && (boundary.file != decoding || drain)) {
            boundary.heardAt = *previousAt + *length;
        }
        previousAt = boundary.heardAt;
        previous = boundary.file;
    }
}

void MpvTake::schedule() {
    chainMoments();
    // Until the decoded file's first sound is queued its audio-pts is unknown: asked again shortly. Then it
    // is minus the time until that sound is heard: asked again nearer the moment (the estimate sharpens), and
    // within the last few milliseconds the boundary is simply timed.
    using std::chrono::milliseconds;
    constexpr auto poll = milliseconds(5);
    constexpr auto closeEnough = milliseconds(4);
    constexpr auto longestWait = milliseconds(50);
    const Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> wake;
    const auto soonest = [&wake](Clock::time_point at) { wake = wake ? std::min(*wake, at) : at; };
    for (const Boundary& boundary : pending) {
        if (boundary.heardAt) {
            soonest(*boundary.heardAt);
            break;
        }
    }
    if (const Boundary* const decoded = pendingOf(decoding)) {
        if (!decoded->heardAt) {
            soonest(now + poll);
        } else if (*decoded->heardAt - now > closeEnough) {
            soonest(std::min(*decoded->heardAt - closeEnough / 2, now + longestWait));
        }
    }
    if (wake) {
        boundaryTimer.start(
            std::chrono::duration_cast<milliseconds>(std::max(*wake - now, Clock::duration(0))));
    }
}

void MpvTake::boundaryTimerFired() {
    // A file is heard once its moment has come, and so is every file decoded before it (one that failed has
    // no moment of its own).
    constexpr auto oneMillisecond = std::chrono::milliseconds(1);
    const Clock::time_point now = Clock::now();
    const auto due =
        std::find_if(pending.rbegin(), pending.rend(), [now, oneMillisecond](const Boundary& boundary) {
            return boundary.heardAt && *boundary.heardAt <= now + oneMillisecond;
        });
    if (due != pending.rend()) {
        heardFile = due->file;
        heardSince = due->heardAt;
        pending.erase(pending.begin(), due.base());
        emit heardMoved();
    }
    // libmpv may take long to answer (it answers nothing while it drains its output at the take's end): the
    // moments known are kept whatever it says.
    const Boundary* const decoded = pendingOf(decoding);
    const bool refine =
        decoded != nullptr && (!decoded->heardAt || *decoded->heardAt - now > 2 * oneMillisecond);
    if (refine && !ptsRequest) {
        askAudioPts();
    }
    schedule();
}

std::optional<double> MpvTake::heardPosition() const {
    if (pending.empty() || !pending.front().heardAt) {
        return std::nullopt;
    }
    const double untilNext = std::chrono::duration<double>(*pending.front().heardAt - Clock::now()).count();
    return std::max(heardDuration() - std::max(untilNext, 0.0), 0.0);
}

void MpvTake::ended() {
    pending.clear();
    boundaryTimer.stop();
    if (heardFile != decoding) {
        heardFile = decoding;
        emit heardMoved();
    }
}

} // namespace quorvex
