// Adding to the Track list: a cue sheet of 99 tracks over one file, a playlist of 1,000 entries, then a
// folder of 10,000 sound files in 100 subfolders, each added as a drop is (gathered on the worker, put in the
// list a part at a time). For each: the time until every entry is in the list and its tags are read, and the
// window's longest stall meanwhile (the goal: none over 50 ms).
//
// Run: ./build/bench/quorvex_bench_list_adding
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "stallmeter.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"
#include "windowbench.h"

#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

namespace {

constexpr int folderCount = 100;
constexpr int filesPerFolder = 100;
constexpr int playlistEntries = 1000;
constexpr int cueTracks = 99;

// A WAV header and a few samples: a sound file as far as the list and the tag reader are concerned.
const QByteArray tinyWav("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"
                         "data\x04\0\0\0\0\0\0\0",
                         48);

// 100 s of silence and a sheet with a track at each second.
bool makeAlbum(const QDir& root) {
    constexpr int bytesPerSecond = 44100 * 4;
    QFile sound(root.filePath(QStringLiteral("album.wav")));
    QFile sheet(root.filePath(QStringLiteral("album.cue")));
    if (!sound.open(QIODevice::WriteOnly) || !sheet.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto littleEndian = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    constexpr quint32 soundBytes = quint32{bytesPerSecond} * (cueTracks + 1);
    QByteArray header = tinyWav.first(44);
    header.replace(40, 4, littleEndian(soundBytes)).replace(4, 4, littleEndian(soundBytes + 36));
    sound.write(header + QByteArray(soundBytes, '\0'));
    sheet.write("PERFORMER \"Bench\"\nFILE \"album.wav\" WAVE\n");
    for (int track = 1; track <= cueTracks; ++track) {
        sheet.write(QStringLiteral("TRACK %1 AUDIO\nTITLE \"Part %1\"\nINDEX 01 %2:%3:00\n")
                        .arg(track)
                        .arg((track - 1) / 60, 2, 10, QLatin1Char('0'))
                        .arg((track - 1) % 60, 2, 10, QLatin1Char('0'))
                        .toLatin1());
    }
    return true;
}

bool makeMusic(const QDir& root) {
    QFile playlist(root.filePath(QStringLiteral("list.m3u8")));
    if (!playlist.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (int folder = 0; folder < folderCount; ++folder) {
        const QString name = QStringLiteral("music/%1").arg(folder);
        if (!root.mkpath(name)) {
            return false;
        }
        for (int track = 0; track < filesPerFolder; ++track) {
            const QString file = QStringLiteral("%1/%2 track.wav").arg(name).arg(track);
            QFile sound(root.filePath(file));
            if (!sound.open(QIODevice::WriteOnly) || sound.write(tinyWav) != tinyWav.size()) {
                return false;
            }
            if (folder * filesPerFolder + track < playlistEntries) {
                playlist.write(file.toUtf8() + '\n');
            }
        }
    }
    return true;
}

// Adds `path` as a drop at the list's end would and waits until the list holds `total` entries and the
// last one's tags are read (the worker reads in the order asked).
void measure(quorvex::frmQuorvex& window, const QString& path, int total, const char* what) {
    auto* tracks = window.findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries();
    quorvex::bench::StallMeter stalls;
    stalls.start();
    QTimer::singleShot(0, &window, [&window, tracks, path] { window.addEntries({path}, tracks->count()); });
    const bool done = QTest::qWaitFor(
        [tracks, total] { return tracks->count() == total && tracks->toolTip(total - 1).contains("Length"); },
        300'000);
    std::printf("%-42s %s in %.2f s, longest stall %.1f ms\n", what, done ? "added and read" : "NOT added",
                stalls.seconds(), stalls.longestStallMs());
}

} // namespace

int main(int argc, char* argv[]) {
    const quorvex::bench::BenchStart start;
    const QApplication application(argc, argv);
    const QTemporaryDir scratch;
    const QDir root(scratch.path());
    if (!makeMusic(root) || !makeAlbum(root)) {
        std::fputs("could not write the sound files\n", stderr);
        return EXIT_FAILURE;
    }
    quorvex::frmQuorvex window(quorvex::makeSystemPlatform());
    if (!quorvex::bench::showSettled(window)) {
        return EXIT_FAILURE;
    }
    measure(window, root.filePath(QStringLiteral("album.cue")), cueTracks, "a cue sheet of 99 tracks:");
    measure(window, root.filePath(QStringLiteral("list.m3u8")), cueTracks + playlistEntries,
            "a playlist of 1,000 entries:");
    measure(window, root.filePath(QStringLiteral("music")),
            cueTracks + playlistEntries + folderCount * filesPerFolder,
            "a folder of 10,000 files in 100 folders:");
    return EXIT_SUCCESS;
}
