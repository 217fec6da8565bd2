#include "widgets/drivelistbox.h"

#include <QDir>
#include <QRegularExpression>
#include <QStorageInfo>

namespace quorvex {

namespace {

// Mount points a person might keep music on: the root, real block devices and removable media,
// but not the kernel's own file systems (/proc, /sys, /dev, /run) or the boot partition.
bool holdsMusic(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    if (root == QDir::rootPath()) {
        return true;
    }
    const bool systemArea =
        root.startsWith(QLatin1String("/proc")) || root.startsWith(QLatin1String("/sys")) ||
        root.startsWith(QLatin1String("/dev")) || root.startsWith(QLatin1String("/boot")) ||
        (root.startsWith(QLatin1String("/run")) && !root.startsWith(QLatin1String("/run/media")));
    return volume.isValid() && volume.isReady() && !systemArea && volume.device().startsWith("/dev/");
}

} // namespace

QString volumeRoot(const QString& drive) {
    static const QRegularExpression driveLetter(QStringLiteral(R"(^([A-Za-z])(:\\?)?$)"));
    if (const QRegularExpressionMatch letter = driveLetter.match(drive); letter.hasMatch()) {
        return letter.captured(1).compare(QLatin1String("c"), Qt::CaseInsensitive) == 0 ? QDir::rootPath()
                                                                                        : QString();
    }
    if (drive.isEmpty() || !QDir(drive).exists()) {
        return {};
    }
    return QStorageInfo(drive).rootPath();
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    fill();
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::driveChanged);
}

QString DriveListBox::drive() const {
    return currentText();
}

void DriveListBox::setDrive(const QString& drive) {
    const QString root = volumeRoot(drive);
    if (root.isEmpty()) {
        return;
    }
    if (findText(root) < 0) {
        fill(); // a volume mounted since the list was made
    }
    if (const int index = findText(root); index >= 0) {
        setCurrentIndex(index);
    }
}

void DriveListBox::fill() {
    const QSignalBlocker quiet(this);
    const QString chosen = currentText();
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (holdsMusic(volume) && !roots.contains(volume.rootPath())) {
            roots.append(volume.rootPath());
        }
    }
    roots.sort();
    clear();
    addItems(roots);
    setCurrentIndex(chosen.isEmpty() ? 0 : std::max(0, findText(chosen)));
}

} // namespace quorvex
