#pragma once

#include <QComboBox>

namespace quorvex {

// The mount point that a remembered drive stands for: "C", "c:" and "C:\" name the root volume "/",
// a path names the mounted volume it lies on. Empty when nothing mounted matches.
[[nodiscard]] QString volumeRoot(const QString& drive);

// The drive list: the mounted volumes a user keeps music on, by their mount points.
class DriveListBox final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The current drive as the list reports it: its mount point, e.g. "/" or "/media/usb".
    [[nodiscard]] QString drive() const;
    // Selects a drive by any of the names volumeRoot() knows; an unknown one changes nothing.
    void setDrive(const QString& drive);

signals:
    void driveChanged();

private:
    void fill();
};

} // namespace quorvex
