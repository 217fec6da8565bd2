#include "widgets/tracklist.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace quorvex {

namespace {

// Every row is one line of text high, marked or not: a mark's icon is drawn into that line, so a marked list
// shows as many entries as an unmarked one.
class OneLineRows final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.features &= ~QStyleOptionViewItem::HasDecoration;
        plain.icon = QIcon();
        plain.decorationSize = QSize();
        const QWidget* view = option.widget;
        return view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &plain, QSize(), view);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem fitted = option;
        const int side = option.rect.height();
        fitted.decorationSize = QSize(side, side);
        QStyledItemDelegate::paint(painter, fitted, index);
    }
};

} // namespace

TrackList::TrackList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    // Every entry is one line: thousands of them are laid out without measuring each.
    setUniformItemSizes(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setAcceptDrops(true);
    setItemDelegate(new OneLineRows(this));
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

namespace {

// The row of an entry dragged out of a Track list, after that list's own signature: only that list takes it
// as a move.
const QString movedRowsFormat = QStringLiteral("application/x-quorvex-track-rows");

} // namespace

QMimeData* TrackList::mimeData(const QList<QListWidgetItem*>& items) const {
    QMimeData* data = QListWidget::mimeData(items);
    if (data != nullptr && items.size() == 1) {
        data->setData(movedRowsFormat, signature + QByteArray::number(row(items.front())));
    }
    return data;
}

std::optional<int> TrackList::movedRow(const QDropEvent* event) const {
    const QByteArray moved = event->mimeData()->data(movedRowsFormat);
    if (!moved.startsWith(signature)) {
        return std::nullopt;
    }
    bool isNumber = false;
    const int from = moved.mid(signature.size()).toInt(&isNumber);
    return isNumber && from >= 0 && from < count() ? std::optional<int>(from) : std::nullopt;
}

int TrackList::dropRow(const QDropEvent* event) const {
    const QPoint at = event->position().toPoint();
    const QModelIndex under = indexAt(at);
    if (!under.isValid()) {
        return count();
    }
    return at.y() > visualRect(under).center().y() ? under.row() + 1 : under.row();
}

bool TrackList::fromOutside(const QDropEvent* event) const {
    return event->source() != this && event->mimeData()->hasUrls();
}

// Drops from outside are taken only while reordering is allowed, like moves inside the list: the Track list
// only grows at its end during a run. The list's own handling draws where a moved entry would go.
void TrackList::judgeDrag(QDragMoveEvent* event) const {
    if (!reordering) {
        event->ignore();
    } else if (fromOutside(event) || movedRow(event)) {
        event->acceptProposedAction();
    }
}

void TrackList::dragEnterEvent(QDragEnterEvent* event) {
    QListWidget::dragEnterEvent(event);
    judgeDrag(event);
}

void TrackList::dragMoveEvent(QDragMoveEvent* event) {
    QListWidget::dragMoveEvent(event);
    judgeDrag(event);
}

void TrackList::dropEvent(QDropEvent* event) {
    if (!reordering) {
        event->ignore();
        return;
    }
    const int target = dropRow(event);
    if (const std::optional<int> from = movedRow(event)) {
        insertItem(target > *from ? target - 1 : target, takeItem(*from));
        setCurrentRow(target > *from ? target - 1 : target);
        // Moved here already: a move action would have the drag's source remove the entry afterwards.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else if (fromOutside(event)) {
        event->acceptProposedAction();
        emit urlsDropped(event->mimeData()->urls(), target);
    } else {
        event->ignore();
    }
}

} // namespace quorvex
