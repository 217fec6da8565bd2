#include "deck/controla1/discdrive.h"

#include <algorithm>
#include <utility>

namespace quorvex::deck {

DiscDrive::DiscDrive(Disc disc) : contents(std::move(disc)) {}

bool DiscDrive::record(Clock::time_point at) {
    const bool mark = recordingSince.has_value();
    stop(at);
    recordingSince = at;
    return mark;
}

void DiscDrive::stop(Clock::time_point at) {
    if (!recordingSince) {
        return;
    }
    using std::chrono::milliseconds;
    const auto elapsed = flaws.stored(
        std::max(milliseconds{0}, std::chrono::duration_cast<milliseconds>(at - *recordingSince)));
    recordingSince.reset();
    if (!flaws.keepsTrack()) {
        return;
    }
    const auto wholeSeconds = static_cast<int>((elapsed.count() + 500) / 1000);
    const int total = contents.minutes * 60 + contents.seconds + wholeSeconds;
    contents.tracks += 1;
    contents.minutes = total / 60;
    contents.seconds = total % 60;
}

QString DiscDrive::setTitle(int track, const QString& text) {
    QString stored = flaws.stored(text);
    contents.titles[track] = stored;
    if (track == 0) {
        contents.name = stored;
    }
    return stored;
}

} // namespace quorvex::deck
