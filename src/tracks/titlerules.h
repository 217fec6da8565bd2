#pragma once

#include "tracks/tagfields.h"

#include <optional>
#include <QString>
#include <QStringView>

namespace quorvex {

inline constexpr qsizetype fileNameTitleLength = 14;

// Whether a Track list entry is an MP3 file: its last three characters are "mp3" in any letter case.
[[nodiscard]] bool isMp3Path(QStringView path);

// Whether a Track list entry is named from its own tag with "Use ID3 tags" ticked, besides MP3: FLAC, Ogg,
// Opus, M4A and AIFF files (by their extension, in any letter case). WAV and WMA never are.
[[nodiscard]] bool hasOwnTagTitle(QStringView path);

// A title from the file name: the characters just before the extension (from the last dot of the name on;
// the last four characters when the name has no dot), back to the nearest "_" or path separator ("\" or
// "/"), at most the last 14 of them. "/music/01_Some Song Title.mp3" gives "ome Song Title",
// "05_Coda.flac" "Coda".
[[nodiscard]] QString titleFromFileName(QStringView path);
// The same part of the name without the limit of 14 characters (titleFromFileName is its last 14).
[[nodiscard]] QString fileNameTitlePart(QStringView path);

// The title of an entry's tags, "Use ID3 tags" ticked: an MP3's ID3v1 title, or without one (or with an
// empty one) the title of its ID3v2 tag; the title of the own tag of the formats of hasOwnTagTitle. Empty
// when there is none (the caller then takes the file name).
[[nodiscard]] QString titleFromTags(QStringView path, const std::optional<TagFields>& id3v1,
                                    const std::optional<TagFields>& own);

// The fields a preview shows: the ID3v1 block's when it has a title, else the file's own tag, else an ID3v1
// block without a title; none when the file has no tag at all.
[[nodiscard]] std::optional<TagFields> previewFields(const std::optional<TagFields>& id3v1,
                                                     const std::optional<TagFields>& own);

// A Track list entry: the directory, one separator, the file name. A root directory ends in a
// separator already, so "/" and "a.mp3" give "/a.mp3".
[[nodiscard]] QString trackListEntry(const QString& directory, const QString& fileName);

} // namespace quorvex
