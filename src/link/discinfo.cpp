#include "link/discinfo.h"

#include "link/replywatcher.h"

namespace quorvex {

QString discInfoText(int tracks, int minutes, int seconds) {
    return QStringLiteral("%1 Tracks %2m %3s")
        .arg(tracks)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString discInfoText(const ReplyWatcher& watcher) {
    return discInfoText(watcher.replyWindow.at(trackCountSlot), watcher.replyWindow.at(minutesSlot),
                        watcher.replyWindow.at(secondsSlot));
}

} // namespace quorvex
