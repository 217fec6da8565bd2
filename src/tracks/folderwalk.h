#pragma once

#include <QString>
#include <QStringList>

namespace quorvex {

struct FolderSounds {
    QStringList files;      // clean absolute paths, in natural order
    QStringList cueSheets;  // the cue sheets among them, the same way
    QStringList unreadable; // folders under the walked one that could not be read, in the order met
};

// The sound files of the listed formats (and the cue sheets) in a folder and every folder under it, in
// natural order ("2" before "10", letter case aside). Hidden files and folders are left out and linked
// folders are not entered, so the walk always ends; a folder that cannot be read is passed over and named.
[[nodiscard]] FolderSounds soundFilesUnder(const QString& folder);

} // namespace quorvex
