#pragma once

#include "tracks/soundpatterns.h"

#include <QListWidget>

namespace quorvex {

// The file list: the audio files of one directory that match the pattern, in any letter case.
class FileListBox final : public QListWidget {
    Q_OBJECT
public:
    // Sound files and playlists.
    [[nodiscard]] static QString pattern();

    explicit FileListBox(QWidget* parent = nullptr);

    [[nodiscard]] QString path() const { return directory; }
    // Shows the matching files of the directory; one that cannot be read shows none.
    void setPath(const QString& path);
    // The selected file's name, or empty when none is selected.
    [[nodiscard]] QString fileName() const;

private:
    QString directory;
};

} // namespace quorvex
