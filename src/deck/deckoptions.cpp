#include "deck/deckoptions.h"

#include "deck/mdse/options.h"

#include <QRegularExpression>
#include <QStringList>
#include <utility>

namespace quorvex::deck {
namespace {

std::optional<std::set<Answer>> answerList(const QString& text, QString& error) {
    std::set<Answer> answers;
    for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = word.trimmed();
        if (name == QLatin1String("record")) {
            answers.insert(Answer::record);
        } else if (name == QLatin1String("stop")) {
            answers.insert(Answer::stop);
        } else if (name == QLatin1String("disc")) {
            answers.insert(Answer::discInformation);
        } else {
            error = QStringLiteral("--answer takes record, stop and disc, not \"%1\"").arg(name);
            return std::nullopt;
        }
    }
    return answers;
}

constexpr int manyMilliseconds = 3'600'000;
constexpr int manyTracks = 1'000'000;
constexpr int manySeconds = 36'000;

// What both decks share: the disc's numbers, how the answers travel, and the read-back faults.
struct Common {
    int tracks = 0;
    int minutes = 0;
    int seconds = 0;
    Delivery delivery;
    bool silent = false;
    std::optional<int> closeAfter;
    ReadBackFaults readBack;
};

std::optional<Common> readCommon(const QCommandLineParser& parser, QString& error) {
    const Delivery plain;
    const auto tracks = optionNumber(parser, QStringLiteral("tracks"), 0, 0, 255, error);
    const auto minutes = optionNumber(parser, QStringLiteral("minutes"), 0, 0, 255, error);
    const auto seconds = optionNumber(parser, QStringLiteral("seconds"), 0, 0, 59, error);
    const auto late = optionNumber(parser, QStringLiteral("late"), 0, 0, manyMilliseconds, error);
    const auto split = optionNumber(parser, QStringLiteral("split"), 1, 1, 64, error);
    const auto gap = optionNumber(parser, QStringLiteral("split-gap"),
                                  static_cast<int>(plain.splitGap.count()), 0, manyMilliseconds, error);
    const auto closeAfter = optionNumber(parser, QStringLiteral("close-after"), 0, 1, 1'000'000, error);
    const auto drop = optionNumber(parser, QStringLiteral("drop-track"), 0, 1, manyTracks, error);
    const auto shortBy = optionNumber(parser, QStringLiteral("short-by"), 0, 0, manySeconds, error);
    const auto garble = optionNumber(parser, QStringLiteral("garble-name"), 0, 1, manyTracks, error);
    if (!tracks || !minutes || !seconds || !late || !split || !gap || !closeAfter || !drop || !shortBy ||
        !garble) {
        return std::nullopt;
    }
    Common common;
    common.tracks = *tracks;
    common.minutes = *minutes;
    common.seconds = *seconds;
    common.delivery.lateBy = std::chrono::milliseconds{*late};
    common.delivery.splitInto = *split;
    common.delivery.splitGap = std::chrono::milliseconds{*gap};
    for (const auto& [name, bytes] :
         {std::pair{QStringLiteral("noise"), &common.delivery.noiseBefore},
          std::pair{QStringLiteral("noise-after"), &common.delivery.noiseAfter}}) {
        if (!parser.isSet(name)) {
            continue;
        }
        const auto noise = bytesFromHex(parser.value(name));
        if (!noise) {
            error = QStringLiteral("--%1 wants hex bytes such as 00FF81, not \"%2\"")
                        .arg(name, parser.value(name));
            return std::nullopt;
        }
        *bytes = *noise;
    }
    common.silent = parser.isSet(QStringLiteral("silent"));
    if (parser.isSet(QStringLiteral("close-after"))) {
        common.closeAfter = *closeAfter;
    }
    if (parser.isSet(QStringLiteral("drop-track"))) {
        common.readBack.dropTrack = *drop;
    }
    if (parser.isSet(QStringLiteral("garble-name"))) {
        common.readBack.garbleName = *garble;
    }
    common.readBack.shortBySeconds = *shortBy;
    common.readBack.unansweredAfterRecording = parser.isSet(QStringLiteral("no-read-back"));
    return common;
}

Faults controlA1Faults(const Common& common) {
    Faults faults;
    faults.silent = common.silent;
    faults.lateBy = common.delivery.lateBy;
    faults.splitInto = common.delivery.splitInto;
    faults.splitGap = common.delivery.splitGap;
    faults.noiseBefore = common.delivery.noiseBefore;
    faults.noiseAfter = common.delivery.noiseAfter;
    faults.closeAfterFrames = common.closeAfter;
    faults.readBack = common.readBack;
    return faults;
}

mdse::Faults mdseFaults(const Common& common) {
    mdse::Faults faults;
    faults.silent = common.silent;
    faults.lateBy = common.delivery.lateBy;
    faults.splitInto = common.delivery.splitInto;
    faults.splitGap = common.delivery.splitGap;
    faults.noiseBefore = common.delivery.noiseBefore;
    faults.noiseAfter = common.delivery.noiseAfter;
    faults.closeAfterPackets = common.closeAfter;
    faults.readBack = common.readBack;
    return faults;
}

} // namespace

void addDeckOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("recorder"),
         QStringLiteral("The recorder to be: control-a1 (the default) or mds-e (Sony MDS-E11/E12/E52)."),
         QStringLiteral("FAMILY")},
        {QStringLiteral("tracks"),
         QStringLiteral("Tracks already on the disc (MDS-E: sharing the time recorded evenly)."),
         QStringLiteral("N")},
        {QStringLiteral("minutes"), QStringLiteral("Minutes already recorded."), QStringLiteral("N")},
        {QStringLiteral("seconds"), QStringLiteral("Seconds already recorded (0-59)."), QStringLiteral("N")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing at all.")},
        {QStringLiteral("answer"),
         QStringLiteral("Control-A1: answer only these, comma-separated: record,stop,disc."),
         QStringLiteral("LIST")},
        {QStringLiteral("late"), QStringLiteral("Send every answer this late."), QStringLiteral("MS")},
        {QStringLiteral("split"), QStringLiteral("Write every answer in N pieces."), QStringLiteral("N")},
        {QStringLiteral("split-gap"), QStringLiteral("Pause between pieces (default 30)."),
         QStringLiteral("MS")},
        {QStringLiteral("noise"), QStringLiteral("Write these bytes before every answer, e.g. 00FF81."),
         QStringLiteral("HEXBYTES")},
        {QStringLiteral("noise-after"),
         QStringLiteral("Write these bytes right behind every answer, e.g. 81050547FF (a status frame)."),
         QStringLiteral("HEXBYTES")},
        {QStringLiteral("close-after"), QStringLiteral("Hang up after this many frames (MDS-E: packets)."),
         QStringLiteral("FRAMES")},
        {QStringLiteral("link"), QStringLiteral("Make PATH a symbolic link to the device while running."),
         QStringLiteral("PATH")},
        {QStringLiteral("drop-track"),
         QStringLiteral("Take the record command as usual, but never put the N-th track made on the disc."),
         QStringLiteral("N")},
        {QStringLiteral("short-by"),
         QStringLiteral("Make every track this much shorter than it was recorded."),
         QStringLiteral("SECONDS")},
        {QStringLiteral("garble-name"),
         QStringLiteral(
             "Store the N-th name (a title, on a Control-A1 deck) with its last character changed."),
         QStringLiteral("N")},
        {QStringLiteral("no-read-back"),
         QStringLiteral(
             "Once recording has begun, answer no request that reads the disc back (Control-A1: the "
             "disc-information request; MDS-E: TOC DATA, TRACK NO. TIME, TRACK NO. NAME, DISC NAME).")},
    });
    mdse::addOptions(parser);
}

DeckOptionsResult readDeckOptions(const QCommandLineParser& parser) {
    DeckOptionsResult result;
    QString& error = result.error;
    DeckOptions options;
    if (parser.isSet(QStringLiteral("recorder"))) {
        const auto family = recorderFamilyFrom(parser.value(QStringLiteral("recorder")));
        if (!family) {
            error = QStringLiteral("--recorder is control-a1 or mds-e, not \"%1\"")
                        .arg(parser.value(QStringLiteral("recorder")));
            return result;
        }
        options.recorder = *family;
    }
    const std::optional<Common> common = readCommon(parser, error);
    if (!common) {
        return result;
    }
    options.linkPath = parser.value(QStringLiteral("link"));
    if (options.recorder == RecorderFamily::mdsE) {
        if (parser.isSet(QStringLiteral("answer"))) {
            error = QStringLiteral("--answer is for --recorder control-a1 only");
            return result;
        }
        const std::chrono::seconds recorded{common->minutes * 60 + common->seconds};
        if (common->tracks == 0 && recorded.count() > 0) {
            error = QStringLiteral("--minutes and --seconds are the time of the --tracks on an MDS-E disc");
            return result;
        }
        auto mdseOptions =
            mdse::readOptions(parser, mdse::discWith(common->tracks, recorded), mdseFaults(*common), error);
        if (!mdseOptions) {
            return result;
        }
        options.mdse = std::move(*mdseOptions);
        result.options = std::move(options);
        return result;
    }
    if (const QString mdseOnly = mdse::optionGiven(parser); !mdseOnly.isEmpty()) {
        error = QStringLiteral("--%1 is for --recorder mds-e only").arg(mdseOnly);
        return result;
    }
    options.disc = Disc{common->tracks, common->minutes, common->seconds, {}, {}};
    options.faults = controlA1Faults(*common);
    if (parser.isSet(QStringLiteral("answer"))) {
        options.faults.answerOnly = answerList(parser.value(QStringLiteral("answer")), error);
        if (!options.faults.answerOnly) {
            return result;
        }
    }
    result.options = std::move(options);
    return result;
}

std::optional<QByteArray> bytesFromHex(const QString& text) {
    QString digits = text;
    digits.remove(QRegularExpression(QStringLiteral("[\\s:]")));
    static const QRegularExpression wholeBytes(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (!wholeBytes.match(digits).hasMatch()) {
        return std::nullopt;
    }
    return QByteArray::fromHex(digits.toLatin1());
}

std::optional<int> optionNumber(const QCommandLineParser& parser, const QString& name, int fallback,
                                int lowest, int highest, QString& error) {
    if (!parser.isSet(name)) {
        return fallback;
    }
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        if (!error.isEmpty()) {
            return std::nullopt; // the first mistake is the one to tell
        }
        error = QStringLiteral("--%1 wants a whole number from %2 to %3, not \"%4\"")
                    .arg(name)
                    .arg(lowest)
                    .arg(highest)
                    .arg(parser.value(name));
        return std::nullopt;
    }
    return value;
}

} // namespace quorvex::deck
