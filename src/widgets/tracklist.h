#pragma once

#include <optional>
#include <QList>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <QUuid>

namespace quorvex {

class TrackListModel;

// The Track list: a view of its entries that shows each entry's mark as an icon in the entry's line, takes
// files, folders and playlists dropped from a file manager, and lets its own entries be dragged to a new
// place while reordering is allowed.
class TrackList final : public QListView {
    Q_OBJECT
public:
    explicit TrackList(QWidget* parent = nullptr);

    void setEntries(TrackListModel* model);
    [[nodiscard]] TrackListModel* entries() const { return list; }
    // Off during a recording run, which walks the list by position.
    void setReordering(bool allowed);

    [[nodiscard]] int count() const;
    [[nodiscard]] int currentRow() const { return currentIndex().row(); }
    void setCurrentRow(int row,
                       QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect);
    // The entry the user chose: the current one when it is also selected (the list makes its first entry
    // current when it takes the focus, without selecting it).
    [[nodiscard]] std::optional<int> chosenRow() const;
    [[nodiscard]] QRect rowRect(int row) const;
    // What a drag of the entry carries: its row after this list's signature, so only this list takes it as
    // a move.
    [[nodiscard]] QMimeData* dragData(int row) const;

signals:
    // URLs dropped from outside the list, to go in before `row` (the list's count: at its end).
    void urlsDropped(const QList<QUrl>& urls, int row);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    [[nodiscard]] std::optional<int> movedRow(const QDropEvent* event) const;
    // Before the entry under the drop, or after it in its lower half; the list's end below the last.
    [[nodiscard]] int dropRow(const QDropEvent* event) const;
    [[nodiscard]] bool fromOutside(const QDropEvent* event) const;
    void judgeDrag(QDragMoveEvent* event) const;

    TrackListModel* list = nullptr;
    bool reordering = true;
    const QByteArray signature = QUuid::createUuid().toByteArray() + ':';
};

} // namespace quorvex
