#include "widgets/tracklist.h"

#include "tracks/entrymark.h"
#include "tracks/tracklistmodel.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QStyledItemDelegate>

namespace quorvex {

namespace {

// Every row is one line of text high, marked or not: a mark's icon is drawn into that line, so a marked list
// shows as many entries as an unmarked one.
class OneLineRows final : public QStyledItemDelegate {
public:
    explicit OneLineRows(QWidget* view) : QStyledItemDelegate(view) {
        const QStyle* style = view->style();
        icons = {QIcon(), style->standardIcon(QStyle::SP_DialogApplyButton),
                 style->standardIcon(QStyle::SP_MessageBoxWarning), style->standardIcon(QStyle::SP_MediaStop),
                 style->standardIcon(QStyle::SP_MessageBoxCritical)};
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        QStyledItemDelegate::initStyleOption(&plain, index);
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

protected:
    // The mark's icon, one per kind of mark (in EntryState's order).
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int state = index.data(TrackListModel::markRole).toInt();
        if (state > 0 && state < static_cast<int>(icons.size())) {
            option->icon = icons[static_cast<std::size_t>(state)];
            option->features |= QStyleOptionViewItem::HasDecoration;
        }
    }

private:
    std::array<QIcon, 5> icons;
};

static_assert(static_cast<int>(EntryState::recorded) == 1 && static_cast<int>(EntryState::skipped) == 2 &&
              static_cast<int>(EntryState::cutOff) == 3 && static_cast<int>(EntryState::cutShort) == 4);

} // namespace

TrackList::TrackList(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line: thousands of them are laid out without measuring each.
    setUniformItemSizes(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setAcceptDrops(true);
    setItemDelegate(new OneLineRows(this));
}

void TrackList::setEntries(TrackListModel* model) {
    list = model;
    setModel(model);
}

void TrackList::setReordering(bool allowed) {
    reordering = allowed;
    setDragEnabled(allowed);
}

int TrackList::count() const {
    return list != nullptr ? list->count() : 0;
}

void TrackList::setCurrentRow(int row, QItemSelectionModel::SelectionFlags how) {
    if (list != nullptr) {
        selectionModel()->setCurrentIndex(list->index(row), how);
    }
}

std::optional<int> TrackList::chosenRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? std::optional<int>(current.row())
                                                                      : std::nullopt;
}

QRect TrackList::rowRect(int row) const {
    return list != nullptr ? visualRect(list->index(row)) : QRect();
}

QMimeData* TrackList::dragData(int row) const {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(TrackListModel::movedRowsFormat), signature + QByteArray::number(row));
    return data;
}

void TrackList::startDrag(Qt::DropActions /*supportedActions*/) {
    const QModelIndex dragged = currentIndex();
    if (!dragged.isValid() || !reordering) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(dragged.row()));
    drag->exec(Qt::MoveAction);
}

std::optional<int> TrackList::movedRow(const QDropEvent* event) const {
    const QByteArray moved = event->mimeData()->data(QString::fromLatin1(TrackListModel::movedRowsFormat));
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
// only grows at its end during a run. The view's own handling draws where a moved entry would go.
void TrackList::judgeDrag(QDragMoveEvent* event) const {
    if (reordering && (fromOutside(event) || movedRow(event))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TrackList::dragEnterEvent(QDragEnterEvent* event) {
    QListView::dragEnterEvent(event);
    judgeDrag(event);
}

void TrackList::dragMoveEvent(QDragMoveEvent* event) {
    QListView::dragMoveEvent(event);
    judgeDrag(event);
}

void TrackList::dropEvent(QDropEvent* event) {
    if (!reordering || list == nullptr) {
        event->ignore();
        return;
    }
    const int target = dropRow(event);
    if (const std::optional<int> from = movedRow(event)) {
        const int to = std::min(target > *from ? target - 1 : target, count() - 1);
        list->move(*from, to);
        setCurrentRow(to);
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (fromOutside(event)) {
        event->acceptProposedAction();
        emit urlsDropped(event->mimeData()->urls(), target);
    } else {
        event->ignore();
    }
    // The view's own drop handling is not run: it would move the rows a second time.
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

} // namespace quorvex
