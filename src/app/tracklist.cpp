#include "app/tracklist.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QToolTip>

namespace quorvex {

TrackList::TrackList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setAcceptDrops(true);
}

void TrackList::setReordering(bool allowed) {
    reordering = allowed;
    setDragEnabled(allowed);
}

void TrackList::setToolTipSource(std::function<QString(const QListWidgetItem&)> source) {
    toolTipOf = std::move(source);
}

bool TrackList::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !toolTipOf) {
        return QListWidget::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QListWidgetItem* entry = itemAt(help->pos());
    const QString text = entry != nullptr ? toolTipOf(*entry) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport(), visualItemRect(entry));
    }
    return true;
}

bool TrackList::fromOutside(const QDropEvent* event) const {
    return event->source() != this && event->mimeData()->hasUrls();
}

// Drops from outside are taken only while reordering is allowed, like moves inside the list: the Track list
// only grows at its end during a run.
void TrackList::dragEnterEvent(QDragEnterEvent* event) {
    if (!reordering) {
        event->ignore();
    } else if (fromOutside(event)) {
        event->acceptProposedAction();
    } else {
        QListWidget::dragEnterEvent(event);
    }
}

void TrackList::dragMoveEvent(QDragMoveEvent* event) {
    if (!reordering) {
        event->ignore();
    } else if (fromOutside(event)) {
        event->acceptProposedAction();
    } else {
        QListWidget::dragMoveEvent(event);
    }
}

void TrackList::dropEvent(QDropEvent* event) {
    if (!reordering) {
        event->ignore();
        return;
    }
    if (!fromOutside(event)) {
        QListWidget::dropEvent(event);
        return;
    }
    const QModelIndex under = indexAt(event->position().toPoint());
    const int row = under.isValid() ? under.row() : count();
    event->acceptProposedAction();
    emit urlsDropped(event->mimeData()->urls(), row);
}

} // namespace quorvex
