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
    scheduleBoundary(known ? std::optional(*static_cast<const double*>(property->data)) : std::nullopt);
    return true;
}

std::optional<QString> MpvTake::startedEntry(std::int64_t entry) {
    const auto found = std::find(entries.begin(), entries.end(), std::optional(entry));
    const auto file = static_cast<int>(found - entries.begin());
    if (found == entries.end() || file <= decoding) {
        return std::nullopt;
    }
    decoding = file;
    askAudioPts();
    return QFileInfo(items.at(static_cast<std::size_t>(file)).path).absoluteFilePath();
}

MpvTake::EntryEnd MpvTake::endedEntry(const mpv_event_end_file& end) {
    const bool last = decoding == static_cast<int>(items.size()) - 1;
    if (last && end.reason == MPV_END_FILE_REASON_EOF) {
        // Without gaps libmpv ends a file once it is decoded, while its sound is still queued. At the end of
        // the list it plays the queue out and then closes the output: that is the take's end.
        heardFile = decoding;
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
    ptsRequest = nextRequest();
    if (mpv.getProperty(*ptsRequest, "audio-pts", MPV_FORMAT_DOUBLE) < 0) {
        ptsRequest.reset();
        scheduleBoundary(std::nullopt);
    }
}

void MpvTake::scheduleBoundary(std::optional<double> audioPts) {
    if (heardFile >= decoding) {
        return;
    }
    using std::chrono::milliseconds;
    // Until the new item's first sound is queued its audio-pts is unknown: asked again shortly. Then it is
    // minus the time until that sound is heard: asked again nearer the moment (the estimate sharpens), and
    // within the last few milliseconds the boundary is simply timed.
    constexpr double pollSeconds = 0.005;
    constexpr double closeEnough = 0.004;
    constexpr double longestWait = 0.05;
    const auto inMilliseconds = [](double seconds) { return milliseconds(std::lround(seconds * 1000)); };
    const double left = audioPts ? -*audioPts : pollSeconds + closeEnough;
    crossWhenTimerFires = left <= closeEnough;
    boundaryTimer.start(crossWhenTimerFires ? inMilliseconds(std::max(left, 0.0))
                                            : inMilliseconds(std::min(left - closeEnough / 2, longestWait)));
}

void MpvTake::boundaryTimerFired() {
    if (crossWhenTimerFires) {
        heardFile = decoding;
        emit heardMoved();
    } else {
        askAudioPts();
    }
}

} // namespace quorvex
