#pragma once

#include <map>
#include <QString>

namespace quorvex::deck {

// What the recorder knows about the disc in it.
struct Disc {
    int tracks = 0;
    int minutes = 0; // recorded time, minutes and seconds
    int seconds = 0;
    QString name{};                  // the disc's title (a title frame for track 0)
    std::map<int, QString> titles{}; // every title frame's text by track; track 0 holds the disc's name too
};

} // namespace quorvex::deck
