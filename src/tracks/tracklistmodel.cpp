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
        return sourceText(entry.source);
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
    return has(row) ? at(row).source.path : QString();
}

QStringList TrackListModel::paths() const {
    QStringList all;
    all.reserve(count());
    for (const TrackEntry& entry : entries) {
        all.append(entry.source.path);
    }
    return all;
}

TrackSource TrackListModel::source(int row) const {
    return has(row) ? at(row).source : TrackSource{};
}

QString TrackListModel::text(int row) const {
    return has(row) ? sourceText(at(row).source) : QString();
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

int TrackListModel::insert(int row, std::span<const TrackSource> sources) {
    const int first = onlyGrows ? count() : std::clamp(row, 0, count());
    if (sources.empty()) {
        return first;
    }
    const int added = static_cast<int>(sources.size());
    beginInsertRows({}, first, first + added - 1);
    std::vector<TrackEntry> inserted;
    inserted.reserve(sources.size());
    std::ranges::transform(sources, std::back_inserter(inserted), [](const TrackSource& source) {
        return TrackEntry{.source = source, .mark = {}};
    });
    entries.insert(entries.begin() + first, std::make_move_iterator(inserted.begin()),
                   std::make_move_iterator(inserted.end()));
    endInsertRows();
    // However an entry came, its tags and length are read for its tool tip and the list's time.
    QStringList files;
    files.reserve(added);
    for (const TrackSource& source : sources) {
        if (files.isEmpty() || files.back() != source.path) {
            files.append(source.path);
        }
    }
    info.request(files);
    return first + added;
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

std::optional<std::chrono::milliseconds>
TrackListModel::entryLength(const TrackSource& source, std::optional<std::chrono::milliseconds> fileLength) {
    if (!source.cue) {
        return fileLength;
    }
    const auto start = std::chrono::duration_cast<std::chrono::milliseconds>(source.cue->start);
    if (source.cue->end) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(*source.cue->end) - start;
    }
    return fileLength ? std::optional(std::max(*fileLength - start, std::chrono::milliseconds{0}))
                      : std::nullopt;
}

std::optional<std::chrono::milliseconds> TrackListModel::length(int row) const {
    if (!has(row)) {
        return std::nullopt;
    }
    const TrackSource& source = at(row).source;
    if (source.cue && source.cue->end) {
        return entryLength(source, std::nullopt);
    }
    const std::optional<TrackInfo> known = info.find(source.path);
    return entryLength(source, known ? known->length : readTrackInfo(source.path).length);
}

QString TrackListModel::summaryText() const {
    std::chrono::milliseconds total{0};
    for (const TrackEntry& entry : entries) {
        const std::optional<TrackInfo> known = info.lastRead(entry.source.path);
        total += entryLength(entry.source, known ? known->length : std::nullopt)
                     .value_or(std::chrono::milliseconds{0});
    }
    return QStringLiteral("%1 %2, %3")
        .arg(count())
        .arg(count() == 1 ? QStringLiteral("track") : QStringLiteral("tracks"))
        .arg(formatLength(total));
}

QString TrackListModel::toolTip(int row) const {
    const QString markText = entryMarkText(mark(row));
    if (!has(row)) {
        return markText.toHtmlEscaped();
    }
    // A cue track is what its sheet says of it, not its file's tags; it plays at its file's level.
    if (const std::optional<CueTrack>& cue = at(row).source.cue) {
        const TagFields fields{.title = cue->title, .artist = cue->performer, .album = {}};
        const std::optional<TrackInfo> file = info.find(at(row).source.path);
        return trackInfoToolTip({.tag = fields.isEmpty() ? std::nullopt : std::optional(fields),
                                 .length = length(row),
                                 .gains = file ? file->gains : std::vector<std::pair<QString, QString>>{},
                                 .replayGain = {}},
                                markText);
    }
    if (const std::optional<TrackInfo> known = info.find(path(row))) {
        return trackInfoToolTip(*known, markText);
    }
    return markText.toHtmlEscaped();
}

std::vector<PlaylistItem> TrackListModel::playlistItems() const {
    std::vector<PlaylistItem> items;
    items.reserve(entries.size());
    for (int row = 0; row < count(); ++row) {
        const TrackSource& source = at(row).source;
        if (source.cue) {
            items.push_back(
                {.path = source.path,
                 .length = length(row),
                 .title = source.cue->title.isEmpty() ? cueTrackLabel(*source.cue) : source.cue->title,
                 .cue = source.cue});
            continue;
        }
        const std::optional<TrackInfo> cached = info.find(source.path);
        const QString tagTitle = cached && cached->tag ? cached->tag->title : QString();
        // The length is read here when the worker has not got to the file yet.
        items.push_back({.path = source.path,
                         .length = cached ? cached->length : readTrackInfo(source.path).length,
                         .title = tagTitle.isEmpty() ? QFileInfo(source.path).completeBaseName() : tagTitle,
                         .cue = std::nullopt});
    }
    return items;
}

} // namespace quorvex
