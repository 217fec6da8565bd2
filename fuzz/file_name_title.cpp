// The file-name title rule on any path: at most 14 characters, a piece of the path that ends where the
// extension begins (the name's last dot, or without one the last four characters), with no "_", "\" or "/"
// in it, reaching back to one of them, the start of the path, or its 14-character limit.
#include "fuzzcheck.h"
#include "tracks/titlerules.h"

#include <algorithm>
#include <cstdint>
#include <QString>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    QString path;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        path.append(QChar(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8))));
    }

    const QString title = quorvex::titleFromFileName(path);

    FUZZ_CHECK(title.size() <= quorvex::fileNameTitleLength);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const qsizetype end = dot > separator ? dot : path.size() - 4;
    if (end <= 0) {
        FUZZ_CHECK(title.isEmpty());
        return 0;
    }
    const qsizetype start = end - title.size();
    FUZZ_CHECK(start >= 0);
    FUZZ_CHECK(QStringView(path).sliced(start, title.size()) == title);
    for (const QChar character : title) {
        FUZZ_CHECK(character != QLatin1Char('_') && character != QLatin1Char('\\') &&
                   character != QLatin1Char('/'));
    }
    const bool atLimit = title.size() == quorvex::fileNameTitleLength;
    const bool atSeparator =
        start > 0 && (path[start - 1] == QLatin1Char('_') || path[start - 1] == QLatin1Char('\\') ||
                      path[start - 1] == QLatin1Char('/'));
    FUZZ_CHECK(atLimit || atSeparator || start == 0);

    // The MP3 test looks at the last three characters only.
    FUZZ_CHECK(quorvex::isMp3Path(path) ==
               (path.size() >= 3 && path.right(3).compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0));
    return 0;
}
