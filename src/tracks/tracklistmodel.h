#pragma once

#include "tracks/entrymark.h"
#include "tracks/playlist.h"
#include "tracks/tracksource.h"

#include <chrono>
#include <limits>
#include <optional>
#include <QAbstractListModel>
#include <QStringList>
#include <span>
#include <vector>

namespace quorvex {

class TrackInfoCache;

// A row past the end of any list: what is inserted there follows whatever the list holds by then.
inline constexpr int atListEnd = std::numeric_limits<int>::max();

// One entry of the Track list: what it records (a file, or a cue track of one) and what the last run that
// reached it did.
struct TrackEntry {
    TrackSource source;
    EntryMark mark;
};

// The Track list's entries, in recording order. Each entry's tags and length are asked of the tag cache as
// it comes in, for its tool tip and the list's time. While a run walks the list by position it only grows
// at its end: moves and removals are refused and insertions go to the end.
class TrackListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // The entry's EntryState, as an int: the view decides what a mark looks like.
    static constexpr int markRole = Qt::UserRole;
    // The one format a dragged row travels in (the view adds the row); listed so views accept the drag.
    static constexpr const char* movedRowsFormat = "application/x-quorvex-track-rows";

    explicit TrackListModel(TrackInfoCache& cache, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    // The path (and a cue track's number and title) as the text, the tool tip, and the mark.
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    [[nodiscard]] Qt::DropActions supportedDropActions() const override;
    [[nodiscard]] QStringList mimeTypes() const override;

    [[nodiscard]] int count() const { return static_cast<int>(entries.size()); }
    // The entry's sound file, or "" outside the list.
    [[nodiscard]] QString path(int row) const;
    [[nodiscard]] QStringList paths() const;
    // What the entry plays; an empty path outside the list.
    [[nodiscard]] TrackSource source(int row) const;
    // The entry as the list shows it: "/music/Live/Album.flac #03 Coda" for a cue track.
    [[nodiscard]] QString text(int row) const;
    [[nodiscard]] EntryMark mark(int row) const;
    void setMark(int row, const EntryMark& mark);

    // On during a run: the list only grows at its end.
    void setGrowOnly(bool on);
    [[nodiscard]] bool growOnly() const { return onlyGrows; }
    // Puts the paths in before `row` (clamped to the list; its end while the list only grows) and returns
    // the row after the last of them.
    int insert(int row, std::span<const TrackSource> sources);
    int insert(int row, const QStringList& paths) { return insert(row, wholeFiles(paths)); }
    void append(const QStringList& paths) { insert(count(), paths); }
    // False when the row is not in the list or the list only grows.
    bool remove(int row);
    // The entry at `from` to place `to` (both rows of the list as it stands); false when refused.
    bool move(int from, int to);
    void clear();

    // The entry's playing time where its file tells it, read now if the tag cache has not got to it; a cue
    // track's from its sheet's times (the last one of its file up to the file's end).
    [[nodiscard]] std::optional<std::chrono::milliseconds> length(int row) const;
    // "12 tracks, 47:10": the count and the time of the entries read so far.
    [[nodiscard]] QString summaryText() const;
    // Its mark, then its file's tags and length where read; a cue track's title, performer and length.
    [[nodiscard]] QString toolTip(int row) const;
    // Each entry with its length and title (a cue track's title, the tag's title, else the file's name) for
    // a saved playlist.
    [[nodiscard]] std::vector<PlaylistItem> playlistItems() const;

private:
    [[nodiscard]] bool has(int row) const { return row >= 0 && row < count(); }
    [[nodiscard]] const TrackEntry& at(int row) const { return entries[static_cast<std::size_t>(row)]; }
    // The length of an entry whose file's length is `fileLength`.
    [[nodiscard]] static std::optional<std::chrono::milliseconds>
    entryLength(const TrackSource& source, std::optional<std::chrono::milliseconds> fileLength);

    TrackInfoCache& info;
    std::vector<TrackEntry> entries;
    bool onlyGrows = false;
};

} // namespace quorvex
