#pragma once

#include <functional>
#include <optional>
#include <QList>
#include <QListWidget>
#include <QUrl>
#include <QUuid>

namespace quorvex {

// The Track list: a list of full paths that takes files, folders and playlists dropped from a file
// manager, and lets its own entries be dragged to a new place while reordering is allowed.
class TrackList final : public QListWidget {
    Q_OBJECT
public:
    explicit TrackList(QWidget* parent = nullptr);

    // Off during a recording run, which walks the list by position.
    void setReordering(bool allowed);
    // An entry's tool tip is made when it is shown, so thousands of entries whose tags come in one after
    // another cost nothing until somebody looks.
    void setToolTipSource(std::function<QString(const QListWidgetItem&)> source);

signals:
    // URLs dropped from outside the list, to go in before `row` (the list's count: at its end).
    void urlsDropped(const QList<QUrl>& urls, int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // A dragged entry carries its row, which a drop on this same list takes as a move.
    [[nodiscard]] QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

private:
    [[nodiscard]] std::optional<int> movedRow(const QDropEvent* event) const;
    // Before the entry under the drop, or after it in its lower half; the list's end below the last.
    [[nodiscard]] int dropRow(const QDropEvent* event) const;
    [[nodiscard]] bool fromOutside(const QDropEvent* event) const;
    void judgeDrag(QDragMoveEvent* event) const;

    bool reordering = true;
    const QByteArray signature = QUuid::createUuid().toByteArray() + ':';
    std::function<QString(const QListWidgetItem&)> toolTipOf;
};

} // namespace quorvex
