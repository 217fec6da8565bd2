#pragma once

#include "link/recorder.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace quorvex {

// Check disc on a recorder that tells each track: the disc as it read back (read only). A summary line
// ("MDS-E12: 5 Tracks 20m 30s") over the tracks' numbers, times and names.
class DiscContentsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DiscContentsDialog(QWidget* parent = nullptr);

    void showDisc(const ReadBack& disc);

private:
    QLabel* summary;
    QTreeWidget* tracks;
};

} // namespace quorvex
