#pragma once

#include <QListWidget>

namespace quorvex {

// The directory a remembered "Dir" names: "C:\" is the root, "C:\Music\Rock" is /Music/Rock, "c:" (the
// current directory of drive C) is the directory the program was started from; a path stays a path.
[[nodiscard]] QString directoryFromSetting(const QString& dir, const QString& startDirectory);

// The directory list: the current directory's ancestors from the root down, then its subdirectories,
// indented like a folder tree. Double-click (or Enter) on an entry opens that directory.
class DirListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    [[nodiscard]] QString path() const { return current; }
    // Opens an existing directory; a path that is no directory changes nothing. A directory that
    // cannot be read is opened all the same and simply shows no subdirectories.
    void setPath(const QString& path);

signals:
    void pathChanged();

private:
    void fill();

    QString current;
};

} // namespace quorvex
