// The playlist reader on a file of any contents, read as an M3U or (when the first byte is odd) a PLS, in a
// folder that also holds a sound file and a playlist listing the input back: reading ends, adds only
// existing files by clean absolute paths, and the refusal text never grows past its 12 lines.
#include "fuzzcheck.h"
#include "tracks/playlist.h"

#include <cstdint>
#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const bool pls = !bytes.isEmpty() && (bytes.front() & 1) != 0;
    const QString path = fuzzFolder({{"back.m3u8", "a.wav\ninput.m3u\ninput.pls\n"}})
                             .filePath(pls ? QStringLiteral("input.pls") : QStringLiteral("input.m3u"));
    writeFuzzFile(path, bytes);
    const quorvex::PlaylistEntries entries = quorvex::readPlaylist(path);
    for (const quorvex::TrackSource& added : entries.added) {
        FUZZ_CHECK(QDir::isAbsolutePath(added.path) && added.path == QDir::cleanPath(added.path) &&
                   QFileInfo(added.path).isFile());
    }
    FUZZ_CHECK(quorvex::refusedEntriesText(entries.refused).count(QLatin1Char('\n')) <= 11);
    return 0;
}
