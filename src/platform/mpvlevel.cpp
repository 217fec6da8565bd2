#include "platform/mpvlevel.h"

#include "platform/mpvsettings.h"

#include <utility>

namespace quorvex {

MpvLevel::MpvLevel(MpvHandle& mpv, std::function<std::uint64_t()> nextRequest,
                   std::function<void(int)> refused)
    : mpv(mpv), nextRequest(std::move(nextRequest)), refused(std::move(refused)) {}

void MpvLevel::choose(Level chosen) {
    level = chosen;
    if (!inTake) {
        levelFixed = false;
        refused(setLevelOptions(mpv, level));
    }
}

void MpvLevel::fileLoading() {
    if (levelFixed) {
        levelFixed = false;
        refused(setLevelOptions(mpv, level));
    }
    inTake = false;
    levelDue = replayGain();
    tagCheck.reset();
    gainCheck.reset();
}

void MpvLevel::takeStarting() {
    inTake = true;
    // Under ReplayGain the take is one piece at its first file's album gain: libmpv applies that to the first
    // file at once, and once it has said what it read, the same level is fixed for the whole take before it
    // is ready to play.
    if (levelDue) {
        refused(mpv.setText("replaygain", QStringLiteral("album")));
    }
}

void MpvLevel::takeEnded() {
    inTake = false;
    levelFixed = true; // the take's album gain, or its fixed level
}

void MpvLevel::fileRestarted() {
    // The file's tags first: a gain without its peak is one libmpv has not read.
    if (levelDue && !tagCheck && !gainCheck) {
        tagCheck = nextRequest();
        if (mpv.getProperty(*tagCheck, "metadata", MPV_FORMAT_NODE) < 0) {
            tagCheck.reset();
            levelFromTags(std::nullopt);
        }
    }
}

bool MpvLevel::answer(const mpv_event& reply) {
    if (tagCheck && reply.reply_userdata == *tagCheck) {
        tagCheck.reset();
        const mpv_node* const tags = nodeOfReply(reply);
        levelFromTags(tags == nullptr ? std::nullopt
                                      : gainWithoutPeak(*tags, inTake || level == Level::albumGain));
        return true;
    }
    if (gainCheck && reply.reply_userdata == *gainCheck) {
        gainCheck.reset();
        const mpv_node* const track = nodeOfReply(reply);
        fix(track == nullptr ? std::nullopt : albumGainOfTrack(*track));
        return true;
    }
    return false;
}

void MpvLevel::levelFromTags(std::optional<double> gainWithoutPeak) {
    if (gainWithoutPeak) {
        // Nothing is known of the file's peak: it is taken as full scale, so the gain never raises the file.
        fix(AlbumGain{.gain = *gainWithoutPeak, .peak = 1.0});
        return;
    }
    if (!inTake) {
        levelDue = false; // libmpv's own reading of the file's gain stands
        return;
    }
    gainCheck = nextRequest();
    if (mpv.getProperty(*gainCheck, "current-tracks/audio", MPV_FORMAT_NODE) < 0) {
        gainCheck.reset();
        fix(std::nullopt);
    }
}

void MpvLevel::fix(std::optional<AlbumGain> gain) {
    levelDue = false;
    levelFixed = true;
    refused(setFixedLevel(mpv, gain));
}

} // namespace quorvex
