#pragma once

#include <QString>

namespace quorvex {

// The three fields of a tag that the program shows, whichever kind of tag they come from.
struct TagFields {
    QString title;
    QString artist;
    QString album;

    [[nodiscard]] bool isEmpty() const { return title.isEmpty() && artist.isEmpty() && album.isEmpty(); }
};

} // namespace quorvex
