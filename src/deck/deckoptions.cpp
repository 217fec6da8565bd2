#include "deck/deckoptions.h"

#include <QRegularExpression>
#include <QStringList>
#include <utility>

namespace quorvex::deck {
namespace {

// A whole number in [lowest, highest] given for `name`; the default when the option is absent.
std::optional<int> number(const QCommandLineParser& parser, const QString& name, int fallback, int lowest,
                          int highest, QString& error) {
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

} // namespace

void addDeckOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("tracks"), QStringLiteral("Tracks already on the disc."), QStringLiteral("N")},
        {QStringLiteral("minutes"), QStringLiteral("Minutes already recorded."), QStringLiteral("N")},
        {QStringLiteral("seconds"), QStringLiteral("Seconds already recorded (0-59)."), QStringLiteral("N")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing at all.")},
        {QStringLiteral("answer"), QStringLiteral("Answer only these, comma-separated: record,stop,disc."),
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
        {QStringLiteral("close-after"), QStringLiteral("Hang up after this many frames."),
         QStringLiteral("FRAMES")},
        {QStringLiteral("link"), QStringLiteral("Make PATH a symbolic link to the device while running."),
         QStringLiteral("PATH")},
    });
}

DeckOptionsResult readDeckOptions(const QCommandLineParser& parser) {
    DeckOptionsResult result;
    QString& error = result.error;
    const Faults plain;
    const auto tracks = number(parser, QStringLiteral("tracks"), 0, 0, 255, error);
    const auto minutes = number(parser, QStringLiteral("minutes"), 0, 0, 255, error);
    const auto seconds = number(parser, QStringLiteral("seconds"), 0, 0, 59, error);
    const auto late = number(parser, QStringLiteral("late"), 0, 0, manyMilliseconds, error);
    const auto split = number(parser, QStringLiteral("split"), 1, 1, 64, error);
    const auto gap = number(parser, QStringLiteral("split-gap"), static_cast<int>(plain.splitGap.count()), 0,
                            manyMilliseconds, error);
    const auto closeAfter = number(parser, QStringLiteral("close-after"), 0, 1, 1'000'000, error);
    if (!tracks || !minutes || !seconds || !late || !split || !gap || !closeAfter) {
        return result;
    }

    DeckOptions options;
    options.disc = Disc{*tracks, *minutes, *seconds, {}, {}};
    options.faults.silent = parser.isSet(QStringLiteral("silent"));
    options.faults.lateBy = std::chrono::milliseconds{*late};
    options.faults.splitInto = *split;
    options.faults.splitGap = std::chrono::milliseconds{*gap};
    if (parser.isSet(QStringLiteral("close-after"))) {
        options.faults.closeAfterFrames = *closeAfter;
    }
    if (parser.isSet(QStringLiteral("answer"))) {
        options.faults.answerOnly = answerList(parser.value(QStringLiteral("answer")), error);
        if (!options.faults.answerOnly) {
            return result;
        }
    }
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("noise"), &options.faults.noiseBefore},
                                      std::pair{QStringLiteral("noise-after"), &options.faults.noiseAfter}}) {
        if (!parser.isSet(name)) {
            continue;
        }
        const auto noise = bytesFromHex(parser.value(name));
        if (!noise) {
            error = QStringLiteral("--%1 wants hex bytes such as 00FF81, not \"%2\"")
                        .arg(name, parser.value(name));
            return result;
        }
        *bytes = *noise;
    }
    options.linkPath = parser.value(QStringLiteral("link"));
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

} // namespace quorvex::deck
