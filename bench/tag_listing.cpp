// Listing a folder of 2,000 sound files (MP3, FLAC, M4A, Opus, as today's taggers write them) in the file
// list and reading every title and length on the worker: how long until every file's tool tip is there, and
// the window's longest stall meanwhile (the goal: none over 50 ms). A 1 ms timer on the window's thread
// measures the stalls: any gap between its wake-ups beyond its period is time the window could not react.
//
// Run: ./build/bench/quorvex_bench_tag_listing   (needs ffmpeg to make the files)
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "stallmeter.h"
#include "widgets/dirlistbox.h"
#include "windowbench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int fileCount = 2000;

bool makeFiles(const QString& folder) {
    const QStringList kinds{QStringLiteral("mp3"), QStringLiteral("flac"), QStringLiteral("m4a"),
                            QStringLiteral("opus")};
    for (const QString& kind : kinds) {
        const QString first = QStringLiteral("%1/0000.%2").arg(folder, kind);
        const int made = QProcess::execute(QStringLiteral("ffmpeg"),
                                           {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                            "sine=frequency=440:duration=2", "-metadata",
                                            "title=Bench " + kind, "-metadata", "artist=Quorvex", first});
        if (made != 0) {
            return false;
        }
        for (int copy = 1; copy < fileCount / static_cast<int>(kinds.size()); ++copy) {
            if (!QFile::copy(
                    first,
                    QStringLiteral("%1/%2.%3").arg(folder).arg(copy, 4, 10, QLatin1Char('0')).arg(kind))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const quorvex::bench::BenchStart start;
    const QApplication application(argc, argv);
    const QTemporaryDir folder;
    if (!makeFiles(folder.path())) {
        std::fputs("could not make the sound files (is ffmpeg installed?)\n", stderr);
        return EXIT_FAILURE;
    }

    quorvex::frmQuorvex window(quorvex::makeSystemPlatform());
    if (!quorvex::bench::showSettled(window)) {
        return EXIT_FAILURE;
    }
    auto* files = window.findChild<QListWidget*>(QStringLiteral("FileList"));

    quorvex::bench::StallMeter stalls;
    const auto allRead = [files] {
        for (int row = 0; row < files->count(); ++row) {
            if (files->item(row)->toolTip().isEmpty()) {
                return false;
            }
        }
        return files->count() == fileCount;
    };

    stalls.start();
    // Listing the folder happens on the window's thread, as a click in the folder list does it.
    QTimer::singleShot(0, &window, [&window, &folder] {
        window.findChild<quorvex::DirListBox*>(QStringLiteral("DirList"))->setPath(folder.path());
    });
    const bool done = QTest::qWaitFor(allRead, 120'000);
    const double seconds = stalls.seconds();
    std::printf("%d files listed, every title and length read: %s in %.2f s\n", fileCount,
                done ? "yes" : "NO", seconds);
    std::printf("longest stall of the window: %.1f ms (1 ms timer, gap less its period)\n",
                stalls.longestStallMs());
    return done ? EXIT_SUCCESS : EXIT_FAILURE;
}
