#pragma once

#include "tracks/tagfields.h"

#include <optional>
#include <QString>

namespace quorvex {

// The ID3v1 tag in the last 128 bytes of a file: "TAG" (upper case), then 30 bytes each of title,
// artist and album in Windows-1252. A field is its text up to the first NUL byte, without trailing
// spaces. A file without the identifier, shorter than 128 bytes, missing, unreadable or not a regular file
// (a directory, a named pipe) has no tag.
[[nodiscard]] std::optional<TagFields> readId3v1(const QString& path);

} // namespace quorvex
