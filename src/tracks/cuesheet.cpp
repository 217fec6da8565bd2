#include "tracks/cuesheet.h"

#include "platform/codepage.h"
#include "tracks/audiocheck.h"
#include "tracks/formatseconds.h"
#include "tracks/soundpatterns.h"
#include "tracks/trackinfo.h"

#include <algorithm>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringTokenizer>
#include <type_traits>
#include <uchardet/uchardet.h>

namespace quorvex {

namespace {

constexpr qint64 maxSheetBytes = qint64{1024} * 1024;
constexpr std::size_t maxTracks = 99;
constexpr int secondsPerMinute = 60;
constexpr int framesPerSecond = 75;

// The charset uchardet names for bytes that are not UTF-8, "" when it names none.
QByteArray detectedCharset(QByteArrayView bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    if (!detector ||
        uchardet_handle_data(detector.get(), bytes.data(), static_cast<size_t>(bytes.size())) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

// A line's words: a quoted one runs to its closing quote (or the line's end), any other to the next blank.
QStringList wordsOf(QStringView line) {
    QStringList words;
    qsizetype at = 0;
    while (at < line.size()) {
        if (line[at].isSpace()) {
            ++at;
        } else if (line[at] == QLatin1Char('"')) {
            qsizetype close = line.indexOf(QLatin1Char('"'), at + 1);
            if (close < 0) {
                close = line.size();
            }
            words.append(line.sliced(at + 1, close - at - 1).toString());
            at = close + 1;
        } else {
            qsizetype end = at;
            while (end < line.size() && !line[end].isSpace()) {
                ++end;
            }
            words.append(line.sliced(at, end - at).toString());
            at = end;
        }
    }
    return words;
}

// "mm:ss:ff", minutes of any size a file has (up to six digits), seconds below 60 and frames below 75.
std::optional<CueTime> cueTimeOf(const QString& word) {
    static const QRegularExpression time(QStringLiteral("^([0-9]{1,6}):([0-9]+):([0-9]+)$"));
    const QRegularExpressionMatch match = time.match(word);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const std::int64_t minutes = match.captured(1).toInt();
    // A field too large for a number is no time either (not 0, which is what toInt() makes of it).
    bool secondsRead = false;
    bool framesRead = false;
    const int seconds = match.captured(2).toInt(&secondsRead);
    const int frames = match.captured(3).toInt(&framesRead);
    if (!secondsRead || !framesRead || seconds >= secondsPerMinute || frames >= framesPerSecond) {
        return std::nullopt;
    }
    return CueTime{(minutes * secondsPerMinute + seconds) * framesPerSecond + frames};
}

QString trackName(int number) {
    return QStringLiteral("TRACK ") + cueTrackNumber(number);
}

// The checks that need the whole sheet: something to record, and each track's start within its file.
std::optional<QString> wholeSheetProblem(const ParsedCueSheet& sheet) {
    if (sheet.files.empty() || sheet.tracks.empty()) {
        return QStringLiteral("it is not a cue sheet: it names no FILE and TRACK");
    }
    for (std::size_t at = 0; at < sheet.tracks.size(); ++at) {
        const CueSheetTrack& track = sheet.tracks[at];
        if (!track.index01) {
            return QStringLiteral("%1 has no INDEX 01").arg(trackName(track.number));
        }
        const CueSheetTrack* before = at > 0 ? &sheet.tracks[at - 1] : nullptr;
        if (before != nullptr && before->file == track.file && *track.index01 <= *before->index01) {
            return QStringLiteral("the INDEX 01 of %1 does not come after that of %2")
                .arg(trackName(track.number), trackName(before->number));
        }
    }
    return std::nullopt;
}

// The file a FILE line names: as written (a Windows sheet's backslashes read as slashes), relative to the
// sheet's folder; else a sound file beside the sheet with the same base name, letter case aside.
std::optional<QString> audioFileOf(const QDir& folder, QString written) {
    written.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (const QString asWritten = QDir::cleanPath(folder.absoluteFilePath(written));
        QFileInfo(asWritten).isFile()) {
        return asWritten;
    }
    const QString baseName = QFileInfo(written).completeBaseName();
    for (const QString& name : folder.entryList(soundFileNameFilters(), QDir::Files, QDir::Name)) {
        if (QFileInfo(name).completeBaseName().compare(baseName, Qt::CaseInsensitive) == 0) {
            return QDir::cleanPath(folder.absoluteFilePath(name));
        }
    }
    return std::nullopt;
}

struct AudioFile {
    QString path;
    std::optional<CueTime> length;
};

class SheetReader {
public:
    SheetReader(QString sheetPath, CueSheetEntries& entries)
        : sheetPath(std::move(sheetPath)), folder(QFileInfo(this->sheetPath).absoluteDir()),
          entries(entries) {}

    void read(const ParsedCueSheet& sheet) {
        std::vector<std::optional<AudioFile>> files;
        for (std::size_t at = 0; at < sheet.files.size(); ++at) {
            const bool used =
                std::ranges::any_of(sheet.tracks, [at](const auto& track) { return track.file == at; });
            files.push_back(used ? audioFile(sheet.files[at]) : std::nullopt);
        }
        for (std::size_t at = 0; at < sheet.tracks.size(); ++at) {
            const CueSheetTrack& track = sheet.tracks[at];
            if (const std::optional<AudioFile>& file = files.at(track.file)) {
                const CueSheetTrack* next = at + 1 < sheet.tracks.size() ? &sheet.tracks[at + 1] : nullptr;
                const bool nextInFile = next != nullptr && next->file == track.file;
                take(*file, track, nextInFile ? next->index01 : std::nullopt);
            }
        }
    }

private:
    void refuse(const QString& entry, const QString& reason) { entries.refused.push_back({entry, reason}); }

    std::optional<AudioFile> audioFile(const CueSheetFile& file) {
        const QString written = QDir::cleanPath(folder.absoluteFilePath(file.name));
        if (file.type == u"BINARY" || file.type == u"MOTOROLA") {
            refuse(written, QStringLiteral("it is a raw CD image (%1), not a sound file").arg(file.type));
            return std::nullopt;
        }
        const std::optional<QString> found = audioFileOf(folder, file.name);
        if (!found) {
            refuse(written, QStringLiteral("it does not exist (named by %1)").arg(sheetPath));
            return std::nullopt;
        }
        if (const std::optional<QString> problem = audioFileProblem(*found)) {
            refuse(*found, *problem);
            return std::nullopt;
        }
        entries.audioFiles.append(*found);
        const std::optional<std::chrono::milliseconds> length = readTrackInfo(*found).length;
        return AudioFile{.path = *found,
                         .length =
                             length ? std::optional(std::chrono::floor<CueTime>(*length)) : std::nullopt};
    }

    void take(const AudioFile& file, const CueSheetTrack& track, std::optional<CueTime> end) {
        const QString entry = cueTrackName(file.path, track.number);
        if (track.type != u"AUDIO") {
            return refuse(entry, QStringLiteral("it is a data track (%1), not sound").arg(track.type));
        }
        if (file.length && *track.index01 >= *file.length) {
            return refuse(entry, QStringLiteral("it starts at %1, beyond the end of its file (%2)")
                                     .arg(formatSeconds(cueSeconds(*track.index01)),
                                          formatSeconds(cueSeconds(*file.length))));
        }
        // A next track beyond the file's end is refused: this one plays to the end.
        if (end && file.length && *end >= *file.length) {
            end.reset();
        }
        entries.added.push_back({.path = file.path,
                                 .cue = CueTrack{.sheet = sheetPath,
                                                 .number = track.number,
                                                 .title = track.title,
                                                 .performer = track.performer,
                                                 .start = *track.index01,
                                                 .end = end}});
    }

    QString sheetPath;
    QDir folder;
    CueSheetEntries& entries;
};

} // namespace

bool isCueSheetPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("cue"), Qt::CaseInsensitive) == 0;
}

QString cueSheetText(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.sliced(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    const QByteArray charset = detectedCharset(bytes);
    if (charset.isEmpty() || charset == "ISO-8859-1") {
        return fromCodePage(bytes);
    }
    QStringDecoder detected(charset.constData(), QStringConverter::Flag::Stateless);
    return detected.isValid() ? QString(detected.decode(bytes)) : fromCodePage(bytes);
}

std::variant<ParsedCueSheet, QString> parseCueSheet(const QString& text) {
    ParsedCueSheet sheet;
    QString sheetPerformer;
    int lineNumber = 0;
    // Lines end in CR LF, LF or CR.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QStringView line : QStringTokenizer(lines, QLatin1Char('\n'))) {
        ++lineNumber;
        const QStringList words = wordsOf(line);
        if (words.isEmpty()) {
            continue;
        }
        const QString command = words.front().toUpper();
        CueSheetTrack* track = sheet.tracks.empty() ? nullptr : &sheet.tracks.back();
        if (command == u"FILE" && words.size() > 1) {
            // An unquoted name with blanks in it: every word between FILE and the type.
            const bool typed = words.size() > 2;
            sheet.files.push_back(
                {.name = typed ? words.mid(1, words.size() - 2).join(QLatin1Char(' ')) : words[1],
                 .type = typed ? words.back().toUpper() : QString()});
        } else if (command == u"TRACK") {
            bool isNumber = false;
            const int number = words.value(1).toInt(&isNumber);
            if (sheet.files.empty() || !isNumber || number < 0) {
                return QStringLiteral("line %1: a TRACK without its number or before any FILE")
                    .arg(lineNumber);
            }
            if (sheet.tracks.size() == maxTracks) {
                return QStringLiteral("it lists more than %1 tracks").arg(maxTracks);
            }
            sheet.tracks.push_back({.number = number,
                                    .type = words.value(2).toUpper(),
                                    .title = {},
                                    .performer = {},
                                    .index01 = std::nullopt,
                                    .file = sheet.files.size() - 1});
        } else if (command == u"INDEX" && track != nullptr) {
            const std::optional<CueTime> time = cueTimeOf(words.value(2));
            if (!time) {
                return QStringLiteral("line %1: the time \"%2\" is not minutes:seconds:frames")
                    .arg(lineNumber)
                    .arg(words.value(2));
            }
            if (words.value(1).toInt() == 1 && !track->index01) {
                track->index01 = time;
                track->file = sheet.files.size() - 1;
            }
        } else if (command == u"TITLE" && track != nullptr) {
            track->title = words.mid(1).join(QLatin1Char(' ')).trimmed();
        } else if (command == u"PERFORMER") {
            (track != nullptr ? track->performer : sheetPerformer) =
                words.mid(1).join(QLatin1Char(' ')).trimmed();
        }
    }
    if (const std::optional<QString> problem = wholeSheetProblem(sheet)) {
        return *problem;
    }
    for (CueSheetTrack& track : sheet.tracks) {
        if (track.performer.isEmpty()) {
            track.performer = sheetPerformer;
        }
    }
    return sheet;
}

CueSheetEntries readCueSheet(const QString& path) {
    CueSheetEntries entries;
    const QString sheetPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QFile file(sheetPath);
    if (!QFileInfo(sheetPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        entries.refused.push_back({sheetPath, QStringLiteral("it cannot be read")});
        return entries;
    }
    // Asking for no more than the limit: a read sets aside room for all it is asked for.
    const QByteArray bytes = file.read(std::min(file.size(), maxSheetBytes) + 1);
    if (bytes.size() > maxSheetBytes) {
        entries.refused.push_back({sheetPath, QStringLiteral("the cue sheet is larger than 1 MiB")});
        return entries;
    }
    const std::variant<ParsedCueSheet, QString> parsed = parseCueSheet(cueSheetText(bytes));
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        entries.refused.push_back({sheetPath, *problem});
        return entries;
    }
    SheetReader(sheetPath, entries).read(std::get<ParsedCueSheet>(parsed));
    return entries;
}

} // namespace quorvex
