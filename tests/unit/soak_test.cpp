// A long recording run in virtual time: 300 entries through the real window and run on fake outside
// things. Run under the asan preset it also proves that nothing leaks (LeakSanitizer checks at exit).
#include "unit/windowfixture.h"

#include <cstdio>
#include <malloc.h>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's count of live heap bytes (its header ships with clang, not with g++).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // NOLINT(bugprone-reserved-identifier)
#endif

namespace quorvex::testing {
namespace {

// Bytes the program holds on the heap right now (AddressSanitizer's own count when it runs, because its
// allocator replaces malloc's and keeps freed blocks in quarantine).
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

TEST_F(WindowTest, ThreeHundredEntriesKeepTheHeapFlat) {
    constexpr int entries = 300;
    constexpr int firstSample = 10;
    window->selectPort(1);
    const QTemporaryDir folder;
    QFile wav(folder.filePath(QStringLiteral("entry.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(64, '\0'));
    wav.close();
    auto* list = control<QListWidget>("ListOfMusic");
    for (int entry = 0; entry < entries; ++entry) {
        list->addItem(wav.fileName());
    }

    int records = 0;
    int stops = 0;
    std::size_t atFirstSample = 0;
    std::size_t atLast = 0;
    fakes.serial->respond = [&](const QByteArray& sent) {
        const bool isRecord = sent == hex("81070547 0221 FF");
        const bool isStop = sent == hex("81070547 0202 FF");
        // The fakes' own records would grow with every entry: they are dropped as the run goes (`sent` is
        // one of them, so it is not looked at after this).
        fakes.serial->frames.clear();
        fakes.player->opened.clear();
        records += isRecord ? 1 : 0;
        stops += isStop ? 1 : 0;
        if (isRecord && (records == firstSample || records == entries)) {
            (records == firstSample ? atFirstSample : atLast) = heapInUse();
        }
        return isRecord ? hex("81070548 0221 FF") : isStop ? hex("81070548 0202 FF") : QByteArray();
    };

    click("btnRecordList");

    EXPECT_EQ(records, entries);
    EXPECT_EQ(stops, entries);
    EXPECT_TRUE(fakes.dialogs->shown.empty());
    std::printf("heap in use at entry %d: %zu bytes; at entry %d: %zu bytes; growth %lld bytes\n",
                firstSample, atFirstSample, entries, atLast,
                static_cast<long long>(atLast) - static_cast<long long>(atFirstSample));
    // A leak of even 100 bytes per entry would show as 29,000 bytes here.
    EXPECT_LT(static_cast<long long>(atLast) - static_cast<long long>(atFirstSample), 16 * 1024);
}

} // namespace
} // namespace quorvex::testing
