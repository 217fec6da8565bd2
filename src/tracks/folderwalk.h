#pragma once

#include <QString>
#include <QStringList>

namespace quorvex {

// The sound files of the listed formats in a folder and every folder under it, as clean absolute paths in
// natural order ("2" before "10", letter case aside). Hidden files and folders are left out, linked folders
// are not entered and folders that cannot be read are passed over, so the walk always ends.
[[nodiscard]] QStringList soundFilesUnder(const QString& folder);

} // namespace quorvex
