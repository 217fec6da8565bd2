#include "deck/mdse/disc.h"

#include <algorithm>
#include <numeric>

namespace quorvex::deck::mdse {

std::chrono::milliseconds recordedTime(const Disc& disc) {
    return std::accumulate(
        disc.tracks.begin(), disc.tracks.end(), std::chrono::milliseconds{0},
        [](std::chrono::milliseconds sum, const Track& track) { return sum + track.length; });
}

std::chrono::milliseconds recordableTime(const Disc& disc) {
    return std::max(disc.capacity - recordedTime(disc), std::chrono::milliseconds{0});
}

bool hasTrack(const Disc& disc, int track) {
    return track >= 1 && static_cast<std::size_t>(track) <= disc.tracks.size();
}

QByteArray nameOf(const Disc& disc, int track) {
    if (track == 0) {
        return disc.name;
    }
    return hasTrack(disc, track) ? disc.tracks[static_cast<std::size_t>(track) - 1].name : QByteArray();
}

int nameRoom(const Disc& disc, int track) {
    const auto used =
        std::accumulate(disc.tracks.begin(), disc.tracks.end(), disc.name.size(),
                        [](qsizetype sum, const Track& each) { return sum + each.name.size(); });
    return std::max(disc.nameCapacity - static_cast<int>(used), 0) +
           static_cast<int>(nameOf(disc, track).size());
}

void setName(Disc& disc, int track, const QByteArray& name) {
    if (track == 0) {
        disc.name = name;
    } else if (hasTrack(disc, track)) {
        disc.tracks[static_cast<std::size_t>(track) - 1].name = name;
    }
}

Disc discWith(int tracks, std::chrono::seconds recorded) {
    Disc disc;
    const auto count = std::max(tracks, 0);
    for (int track = 0; track < count; ++track) {
        const auto share = recorded.count() / count + (track < recorded.count() % count ? 1 : 0);
        disc.tracks.push_back({std::chrono::seconds{share}, {}});
    }
    return disc;
}

} // namespace quorvex::deck::mdse
