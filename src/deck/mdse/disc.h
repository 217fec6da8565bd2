#pragma once

#include <chrono>
#include <QByteArray>
#include <vector>

namespace quorvex::deck::mdse {

struct Track {
    std::chrono::milliseconds length{};
    QByteArray name{}; // the bytes as written to the deck, empty when the track has none

    friend bool operator==(const Track&, const Track&) = default;
};

// A MiniDisc as the deck sees it: its tracks, its name, how much it can hold. Names share one space on
// the disc, counted in characters (one byte each).
struct Disc {
    std::vector<Track> tracks{};
    QByteArray name{};
    std::chrono::milliseconds capacity{std::chrono::minutes{74}};
    // The maker's example reports 1,764 characters free for one track's name; 1,785 is 255 name cells of
    // seven characters, as a MiniDisc's table of contents keeps them.
    int nameCapacity = 1785;
    bool writeProtected = false;

    friend bool operator==(const Disc&, const Disc&) = default;
};

[[nodiscard]] std::chrono::milliseconds recordedTime(const Disc& disc);
// Never below 0.
[[nodiscard]] std::chrono::milliseconds recordableTime(const Disc& disc);
[[nodiscard]] bool hasTrack(const Disc& disc, int track);
// The name of track n, or of the disc for 0; an empty one for a track the disc does not have.
[[nodiscard]] QByteArray nameOf(const Disc& disc, int track);
// The characters the name of track n (0: the disc) can have: what it has now and the free name space.
[[nodiscard]] int nameRoom(const Disc& disc, int track);
// Sets the name of an existing track n, or of the disc for 0.
void setName(Disc& disc, int track, const QByteArray& name);

// A disc with `tracks` tracks that fill `recorded` between them, in whole seconds, the first ones a second
// longer where they do not share it evenly.
[[nodiscard]] Disc discWith(int tracks, std::chrono::seconds recorded);

} // namespace quorvex::deck::mdse
