#include "widgets/dirlistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace quorvex {

namespace {

constexpr int pathRole = Qt::UserRole;

QListWidgetItem* entry(QListWidget* list, const QString& name, const QString& path, int depth) {
    auto* item =
        new QListWidgetItem(QString(static_cast<qsizetype>(depth) * 2, QLatin1Char(' ')) + name, list);
    item->setData(pathRole, path);
    return item;
}

} // namespace

QString directoryFromSetting(const QString& dir, const QString& startDirectory) {
    static const QRegularExpression onDriveC(QStringLiteral(R"(^[Cc]:(\\.*)?$)"));
    const QRegularExpressionMatch drive = onDriveC.match(dir);
    if (!drive.hasMatch()) {
        return dir;
    }
    if (drive.captured(1).isEmpty()) {
        return startDirectory;
    }
    QString path = drive.captured(1);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(path);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this,
            [this](const QListWidgetItem* item) { setPath(item->data(pathRole).toString()); });
}

void DirListBox::setPath(const QString& path) {
    const QFileInfo directory(path);
    if (path.isEmpty() || !directory.isDir()) {
        return;
    }
    const QString cleaned = QDir::cleanPath(directory.absoluteFilePath());
    if (cleaned == current) {
        return;
    }
    current = cleaned;
    fill();
    emit pathChanged();
}

void DirListBox::fill() {
    clear();
    // Ancestors, root first.
    QStringList chain;
    for (QDir step(current);;) {
        chain.prepend(step.absolutePath());
        if (step.isRoot() || !step.cdUp()) {
            break;
        }
    }
    int depth = 0;
    QListWidgetItem* here = nullptr;
    for (const QString& ancestor : chain) {
        const QString name = QDir(ancestor).isRoot() ? ancestor : QDir(ancestor).dirName();
        here = entry(this, name, ancestor, depth++);
    }
    const QDir directory(current);
    const QStringList children = directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                     QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& child : children) {
        entry(this, child, directory.absoluteFilePath(child), depth);
    }
    setCurrentItem(here);
}

} // namespace quorvex
