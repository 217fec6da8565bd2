#pragma once

#include <QString>
#include <QStringView>

namespace quorvex {

inline constexpr qsizetype fileNameTitleLength = 14;

// Whether a Track list entry is an MP3 file: its last three characters are "mp3" in any letter case.
[[nodiscard]] bool isMp3Path(QStringView path);

// A title from the file name: the characters just before the last four (the dot and the extension),
// back to the nearest "_" or path separator ("\" or "/"), at most the last 14 of them.
// "/music/01_Some Song Title.mp3" gives "ome Song Title".
[[nodiscard]] QString titleFromFileName(QStringView path);

// A Track list entry: the directory, one separator, the file name. A root directory ends in a
// separator already, so "/" and "a.mp3" give "/a.mp3".
[[nodiscard]] QString trackListEntry(const QString& directory, const QString& fileName);

} // namespace quorvex
