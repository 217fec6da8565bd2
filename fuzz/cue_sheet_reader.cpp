// The cue sheet reader on a sheet of any bytes, in a folder holding a sound file it may name ("a.wav", also
// found as "a.flac"): reading ends, takes at most 99 tracks, each in an existing file by its clean absolute
// path with a start before its end, and refuses what it does not take with a reason.
#include "fuzzcheck.h"
#include "tracks/cuesheet.h"

#include <cstdint>
#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzzFolder().filePath(QStringLiteral("input.cue"));
    writeFuzzFile(path, QByteArrayView(data, static_cast<qsizetype>(size)));
    const quorvex::CueSheetEntries entries = quorvex::readCueSheet(path);
    FUZZ_CHECK(entries.added.size() <= 99);
    for (const quorvex::TrackSource& added : entries.added) {
        FUZZ_CHECK(QDir::isAbsolutePath(added.path) && added.path == QDir::cleanPath(added.path) &&
                   QFileInfo(added.path).isFile());
        FUZZ_CHECK(added.cue && added.cue->start.count() >= 0 &&
                   (!added.cue->end || *added.cue->end > added.cue->start));
    }
    for (const quorvex::Refused& refused : entries.refused) {
        FUZZ_CHECK(!refused.reason.isEmpty());
    }
    return 0;
}
