#include "link/controla1/discinfo.h"

#include "link/controla1/replywatcher.h"

namespace quorvex {

QString discInfoText(int tracks, int minutes, int seconds) {
    return QStringLiteral("%1 Tracks %2m %3s")
        .arg(tracks)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString discInfoText(const DiscInfo& disc) {
    return discInfoText(disc.tracks, disc.minutes, disc.seconds);
}

DiscInfo discInfoSince(const ReplyWatcher& watcher, std::uint64_t answersBeforeRequest) {
    if (watcher.discInfoAnswers > answersBeforeRequest) {
        return watcher.lastDiscInfo;
    }
    return {watcher.replyWindow.at(trackCountSlot), watcher.replyWindow.at(minutesSlot),
            watcher.replyWindow.at(secondsSlot)};
}

} // namespace quorvex
