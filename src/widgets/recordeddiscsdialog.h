#pragma once

#include "run/discrecords.h"

#include <QDialog>
#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quorvex {

class Dialogs;

// Disc ▸ Recorded discs…: the records of the discs made (disc name, date, tracks, total time; newest first;
// a filter on the name), the chosen one's tracks (number, title, length, mark, source file, shown as missing
// when it is gone), and what can be done with it: add it to the Track list, print the case inserts of the
// chosen records, delete it (asked first). A record that cannot be read is listed as unreadable.
class RecordedDiscsDialog final : public QDialog {
    Q_OBJECT
public:
    RecordedDiscsDialog(DiscRecords records, Dialogs& dialogs, QWidget* parent = nullptr);

    // Reads the folder again, keeping the filter.
    void refresh();

signals:
    void addToTrackList(const QString& recordPath);
    // "Print case insert…": the chosen records (several may be chosen: their inserts share the sheets).
    void printInserts(const QStringList& recordPaths);

private:
    void showChosen();
    void filter();
    void deleteChosen();
    [[nodiscard]] const DiscRecords::Listed* chosen() const;
    [[nodiscard]] QStringList chosenReadable() const;

    DiscRecords records;
    Dialogs& dialogs;
    std::vector<DiscRecords::Listed> listed;
    QLineEdit* filterField;
    QTreeWidget* discs;
    QTreeWidget* tracks;
    QPushButton* addButton;
    QPushButton* printButton;
    QPushButton* deleteButton;
};

} // namespace quorvex
