#include "tracks/entrygatherer.h"

#include "tracks/audiocheck.h"
#include "tracks/cuesheet.h"
#include "tracks/folderwalk.h"

#include <map>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace quorvex {

namespace {

void addAll(GatheredEntries& gathered, const TrackSources& added, const std::vector<Refused>& refused) {
    gathered.added.insert(gathered.added.end(), added.begin(), added.end());
    gathered.refused.insert(gathered.refused.end(), refused.begin(), refused.end());
}

// A folder's sound files in natural order; where a cue sheet of the folder names one, the sheet's tracks
// come in its place (all of them, at the first of its files) and its files are not added whole.
void addFolder(GatheredEntries& gathered, const QString& path) {
    const FolderSounds sounds = soundFilesUnder(path);
    std::vector<CueSheetEntries> sheets;
    std::map<QString, std::size_t> sheetOf; // sound file -> the first sheet naming it
    for (const QString& sheet : sounds.cueSheets) {
        sheets.push_back(readCueSheet(sheet));
        gathered.refused.insert(gathered.refused.end(), sheets.back().refused.begin(),
                                sheets.back().refused.end());
        for (const QString& file : sheets.back().audioFiles) {
            sheetOf.try_emplace(file, sheets.size() - 1);
        }
    }
    std::vector<bool> added(sheets.size(), false);
    for (const QString& file : sounds.files) {
        const auto sheet = sheetOf.find(file);
        if (sheet == sheetOf.end()) {
            gathered.added.push_back({.path = file, .cue = std::nullopt});
        } else if (!added.at(sheet->second)) {
            added.at(sheet->second) = true;
            addAll(gathered, sheets.at(sheet->second).added, {});
        }
    }
    for (const QString& folder : sounds.unreadable) {
        gathered.refused.push_back({.entry = folder, .reason = QStringLiteral("the folder cannot be read")});
    }
}

} // namespace

GatheredEntries gatherEntries(const QStringList& paths) {
    GatheredEntries gathered;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (file.isDir()) {
            addFolder(gathered, path);
        } else if (isPlaylistPath(path)) {
            const PlaylistEntries listed = readPlaylist(path);
            addAll(gathered, listed.added, listed.refused);
        } else if (isCueSheetPath(path)) {
            const CueSheetEntries sheet = readCueSheet(path);
            addAll(gathered, sheet.added, sheet.refused);
        } else if (const std::optional<QString> problem = audioFileProblem(path)) {
            gathered.refused.push_back({.entry = path, .reason = *problem});
        } else {
            gathered.added.push_back({.path = QDir::cleanPath(file.absoluteFilePath()), .cue = std::nullopt});
        }
    }
    return gathered;
}

EntryGatherer::EntryGatherer(QObject* parent) : QObject(parent) {
    worker.setMaxThreadCount(1);
}

EntryGatherer::~EntryGatherer() {
    closing->store(true);
    worker.waitForDone();
}

void EntryGatherer::gather(const QStringList& paths, int row, std::vector<Refused> refused) {
    ++waiting;
    worker.start([paths, row, refused = std::move(refused), closing = closing,
                  receiver = QPointer<EntryGatherer>(this)]() mutable {
        if (closing->load()) {
            return;
        }
        GatheredEntries entries = gatherEntries(paths);
        refused.insert(refused.end(), entries.refused.begin(), entries.refused.end());
        entries.refused = std::move(refused);
        QMetaObject::invokeMethod(
            receiver.data(),
            [receiver, entries = std::move(entries), row] {
                if (!receiver.isNull()) {
                    receiver->take(entries, row);
                }
            },
            Qt::QueuedConnection);
    });
}

void EntryGatherer::take(const GatheredEntries& entries, int row) {
    --waiting;
    emit gathered(entries, row);
}

} // namespace quorvex
