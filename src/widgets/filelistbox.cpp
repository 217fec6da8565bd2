#include "widgets/filelistbox.h"

#include <QDir>

namespace quorvex {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setPath(const QString& path) {
    directory = path;
    clear();
    // Name filters match without regard to letter case unless QDir::CaseSensitive is asked for.
    const QDir folder(path, pattern(), QDir::Name | QDir::IgnoreCase | QDir::LocaleAware, QDir::Files);
    addItems(folder.entryList());
}

QString FileListBox::pattern() {
    return QStringLiteral("%1;%2").arg(QLatin1String(soundFilePattern), QLatin1String(playlistFilePattern));
}

QString FileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item != nullptr && item->isSelected() ? item->text() : QString();
}

} // namespace quorvex
