#include "tracks/tracklistmodel.h"

#include "tracks/formatseconds.h"
#include "tracks/trackinfo.h"
#include "tracks/trackinfocache.h"

#include <algorithm>
#include <iterator>
#include <QFileInfo>

namespace quorvex {

TrackListModel::TrackListModel(TrackInfoCache& cache, QObject* parent)
    : QAbstractListModel(parent), info(cache) {}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !has(index.row())) {
        return {};
    }
    const TrackEntry& entry = entries[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return entry.path;
    case Qt::ToolTipRole:
        return toolTip(index.row());
    case markRole:
        return static_cast<int>(entry.mark.state);
    default:
        return {};
    }
}

Qt::ItemFlags TrackListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractListModel::flags(index);
    // Entries take no drop on themselves: a drop goes between them.
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base | Qt::ItemIsDropEnabled;
}

Qt::DropActions TrackListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList TrackListModel::mimeTypes() const {
    return {QString::fromLatin1(movedRowsFormat), QStringLiteral("text/uri-list")};
}

QString TrackListModel::path(int row) const {
    return has(row) ? entries[static_cast<std::size_t>(row)].path : QString();
}

QStringList TrackListModel::paths() const {
    QStringList all;
    all.reserve(count());
    for (const TrackEntry& entry : entries) {
        all.append(entry.path);
    }
    return all;
}

EntryMark TrackListModel::mark(int row) const {
    return has(row) ? entries[static_cast<std::size_t>(row)].mark : EntryMark{};
}

void TrackListModel::setMark(int row, const EntryMark& mark) {
    if (!has(row)) {
        return;
    }
    entries[static_cast<std::size_t>(row)].mark = mark;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {markRole, Qt::ToolTipRole});
}

void TrackListModel::setGrowOnly(bool on) {
    onlyGrows = on;
}

int TrackListModel::insert(int row, const QStringList& paths) {
    const int at = onlyGrows ? count() : std::clamp(row, 0, count());
    if (paths.isEmpty()) {
        return at;
    }
    beginInsertRows({}, at, at + static_cast<int>(paths.size()) - 1);
    std::vector<TrackEntry> added;
    added.reserve(static_cast<std::size_t>(paths.size()));
    std::ranges::transform(paths, std::back_inserter(added),
                           [](const QString& path) { return TrackEntry{.path = path, .mark = {}}; });
    entries.insert(entries.begin() + at, std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
    endInsertRows();
    // However an entry came, its tags and length are read for its tool tip and the list's time.
    info.request(paths);
    return at + static_cast<int>(paths.size());
}

bool TrackListModel::remove(int row) {
    if (onlyGrows || !has(row)) {
        return false;
    }
    beginRemoveRows({}, row, row);
    entries.erase(entries.begin() + row);
    endRemoveRows();
    return true;
}

bool TrackListModel::move(int from, int to) {
    if (onlyGrows || !has(from) || !has(to)) {
        return false;
    }
    if (from == to) {
        return true;
    }
    // The model's rule counts the destination in the list before the entry leaves it.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    TrackEntry moved = std::move(entries[static_cast<std::size_t>(from)]);
    entries.erase(entries.begin() + from);
    entries.insert(entries.begin() + to, std::move(moved));
    endMoveRows();
    return true;
}

void TrackListModel::clear() {
    if (onlyGrows) {
        return;
    }
    beginResetModel();
    entries.clear();
    endResetModel();
}

std::optional<std::chrono::milliseconds> TrackListModel::length(int row) const {
    if (!has(row)) {
        return std::nullopt;
    }
    const QString& file = entries[static_cast<std::size_t>(row)].path;
    const std::optional<TrackInfo> known = info.find(file);
    return known ? known->length : readTrackInfo(file).length;
}

QString TrackListModel::summaryText() const {
    std::chrono::milliseconds total{0};
    for (const TrackEntry& entry : entries) {
        if (const std::optional<TrackInfo> known = info.lastRead(entry.path)) {
            total += known->length.value_or(std::chrono::milliseconds{0});
        }
    }
    return QStringLiteral("%1 %2, %3")
        .arg(count())
        .arg(count() == 1 ? QStringLiteral("track") : QStringLiteral("tracks"))
        .arg(formatSeconds(std::chrono::duration<double>(total).count()));
}

QString TrackListModel::toolTip(int row) const {
    const QString markText = entryMarkText(mark(row));
    if (const std::optional<TrackInfo> known = info.find(path(row))) {
        return trackInfoToolTip(*known, markText);
    }
    return markText.toHtmlEscaped();
}

std::vector<PlaylistItem> TrackListModel::playlistItems() const {
    std::vector<PlaylistItem> items;
    items.reserve(entries.size());
    for (const TrackEntry& entry : entries) {
        const std::optional<TrackInfo> cached = info.find(entry.path);
        const QString tagTitle = cached && cached->tag ? cached->tag->title : QString();
        // The length is read here when the worker has not got to the file yet.
        items.push_back({.path = entry.path,
                         .length = cached ? cached->length : readTrackInfo(entry.path).length,
                         .title = tagTitle.isEmpty() ? QFileInfo(entry.path).completeBaseName() : tagTitle});
    }
    return items;
}

} // namespace quorvex
