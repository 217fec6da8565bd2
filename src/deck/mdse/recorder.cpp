#include "deck/mdse/recorder.h"

#include <algorithm>

namespace quorvex::deck::mdse {

using std::chrono::milliseconds;

void Recorder::setRoom(std::optional<std::chrono::seconds> fullAfter, Clock::time_point now) {
    faultRoom = fullAfter;
    roomFrom = now;
}

void Recorder::end(Disc& disc, Clock::time_point at, ReadBackFlaws& flaws) {
    if (!since) {
        return;
    }
    const auto endsAt = std::min(at, fullAt(disc).value_or(at));
    const auto length = std::max(std::chrono::duration_cast<milliseconds>(endsAt - *since), milliseconds{0});
    if (faultRoom) {
        const auto counted = std::chrono::duration_cast<milliseconds>(endsAt - std::max(*since, roomFrom));
        *faultRoom -= std::clamp(counted, milliseconds{0}, *faultRoom);
    }
    since.reset();
    if (flaws.keepsTrack()) {
        disc.tracks.push_back({flaws.stored(length), {}});
    }
}

bool Recorder::hasRoom(const Disc& disc) const {
    return recordableTime(disc) > milliseconds{0} && (!faultRoom || *faultRoom > milliseconds{0});
}

std::optional<Recorder::Clock::time_point> Recorder::fullAt(const Disc& disc) const {
    if (!since) {
        return std::nullopt;
    }
    const auto byDisc = *since + recordableTime(disc);
    return faultRoom ? std::min(byDisc, std::max(*since, roomFrom) + *faultRoom) : byDisc;
}

} // namespace quorvex::deck::mdse
