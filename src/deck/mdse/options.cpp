#include "deck/mdse/options.h"

#include <array>
#include <utility>

namespace quorvex::deck::mdse {
namespace {

constexpr int manyMilliseconds = 3'600'000;
constexpr int manySeconds = 36'000;
constexpr int manyPackets = 1'000'000;

const std::array<QCommandLineOption, 16>& options() {
    static const std::array<QCommandLineOption, 16> all{{
        {QStringLiteral("model"), QStringLiteral("MDS-E: the model, E11, E12 (the default) or E52."),
         QStringLiteral("MODEL")},
        {QStringLiteral("standby"),
         QStringLiteral("MDS-E11/E52: start in standby, to be switched on by POWER.")},
        {QStringLiteral("no-disc"), QStringLiteral("MDS-E: start without a disc.")},
        {QStringLiteral("disc-length"),
         QStringLiteral("MDS-E: the disc holds this many minutes (default 74)."), QStringLiteral("MINUTES")},
        {QStringLiteral("echo-unchanged"),
         QStringLiteral("MDS-E: answer REMOTE MODE and POWER even when nothing changes.")},
        {QStringLiteral("toc-read"), QStringLiteral("MDS-E: reading the TOC takes this long (default 1000)."),
         QStringLiteral("MS")},
        {QStringLiteral("din-lock"),
         QStringLiteral("MDS-E: the digital input locks this long after REC (default 200)."),
         QStringLiteral("MS")},
        {QStringLiteral("toc-write"),
         QStringLiteral("MDS-E: TOC DATA follows the end of a recording this late (default 300)."),
         QStringLiteral("MS")},
        {QStringLiteral("single-zero-end"),
         QStringLiteral("MDS-E: a name of whole 16-byte packets may also end with a packet of a single 00.")},
        {QStringLiteral("no-disc-name-continuation"),
         QStringLiteral("MDS-E: DISC NAME WRITE's later packets (20 71) are an UNDEFINED COMMAND.")},
        {QStringLiteral("lose-rec-report"),
         QStringLiteral("MDS-E: never send the N-th REC report (0: none of them); recording goes on."),
         QStringLiteral("N")},
        {QStringLiteral("lose-write-ack"),
         QStringLiteral("MDS-E: never send the N-th WRITE PACKET RECEIVED (0: none of them)."),
         QStringLiteral("N")},
        {QStringLiteral("garble-reply"),
         QStringLiteral(
             "MDS-E: send the N-th report (0: every one) with its bytes after the length inverted."),
         QStringLiteral("N")},
        {QStringLiteral("refuse-rec"), QStringLiteral("MDS-E: answer REC with IMPOSSIBLE.")},
        {QStringLiteral("no-lock"), QStringLiteral("MDS-E: the digital input never locks.")},
        {QStringLiteral("full-after"),
         QStringLiteral(
             "MDS-E: the disc is full after this much recording; the deck stops of its own accord."),
         QStringLiteral("SECONDS")},
    }};
    return all;
}

// The n-th of a fault's count: unset, or a number from 0 (every one).
bool readNth(const QCommandLineParser& parser, const QString& name, std::optional<int>& nth, QString& error) {
    const auto value = optionNumber(parser, name, 0, 0, manyPackets, error);
    if (value && parser.isSet(name)) {
        nth = *value;
    }
    return value.has_value();
}

} // namespace

void addOptions(QCommandLineParser& parser) {
    for (const QCommandLineOption& option : options()) {
        parser.addOption(option);
    }
}

QString optionGiven(const QCommandLineParser& parser) {
    for (const QCommandLineOption& option : options()) {
        if (parser.isSet(option.names().front())) {
            return option.names().front();
        }
    }
    return {};
}

std::optional<MdseOptions> readOptions(const QCommandLineParser& parser, Disc disc, Faults faults,
                                       QString& error) {
    MdseOptions read{std::move(disc), {}, std::move(faults)};
    Settings& settings = read.settings;
    if (parser.isSet(QStringLiteral("model"))) {
        const auto model = modelFrom(parser.value(QStringLiteral("model")));
        if (!model) {
            error = QStringLiteral("--model is E11, E12 or E52, not \"%1\"")
                        .arg(parser.value(QStringLiteral("model")));
            return std::nullopt;
        }
        settings.model = *model;
    }
    settings.startInStandby = parser.isSet(QStringLiteral("standby"));
    if (settings.startInStandby && !hasPowerCommand(settings.model)) {
        error = QStringLiteral("--standby is for the E11 and the E52: the E12 has no POWER command");
        return std::nullopt;
    }
    const auto length = optionNumber(parser, QStringLiteral("disc-length"), 74, 1, 255, error);
    const auto tocRead =
        optionNumber(parser, QStringLiteral("toc-read"), static_cast<int>(settings.tocReading.count()), 0,
                     manyMilliseconds, error);
    const auto dinLock =
        optionNumber(parser, QStringLiteral("din-lock"), static_cast<int>(settings.inputLocking.count()), 0,
                     manyMilliseconds, error);
    const auto tocWrite =
        optionNumber(parser, QStringLiteral("toc-write"), static_cast<int>(settings.tocWriting.count()), 0,
                     manyMilliseconds, error);
    const auto fullAfter = optionNumber(parser, QStringLiteral("full-after"), 0, 0, manySeconds, error);
    if (!length || !tocRead || !dinLock || !tocWrite || !fullAfter ||
        !readNth(parser, QStringLiteral("lose-rec-report"), read.faults.loseRecReport, error) ||
        !readNth(parser, QStringLiteral("lose-write-ack"), read.faults.loseWriteAck, error) ||
        !readNth(parser, QStringLiteral("garble-reply"), read.faults.garbleReply, error)) {
        return std::nullopt;
    }
    read.disc.capacity = std::chrono::minutes{*length};
    if (recordedTime(read.disc) > read.disc.capacity) {
        error = QStringLiteral("--minutes and --seconds give more than the --disc-length of %1 minutes")
                    .arg(*length);
        return std::nullopt;
    }
    settings.startWithoutDisc = parser.isSet(QStringLiteral("no-disc"));
    settings.echoUnchanged = parser.isSet(QStringLiteral("echo-unchanged"));
    settings.tocReading = std::chrono::milliseconds{*tocRead};
    settings.inputLocking = std::chrono::milliseconds{*dinLock};
    settings.tocWriting = std::chrono::milliseconds{*tocWrite};
    settings.singleZeroEndsName = parser.isSet(QStringLiteral("single-zero-end"));
    settings.discNameContinuation = !parser.isSet(QStringLiteral("no-disc-name-continuation"));
    read.faults.refuseRec = parser.isSet(QStringLiteral("refuse-rec"));
    read.faults.inputNeverLocks = parser.isSet(QStringLiteral("no-lock"));
    if (parser.isSet(QStringLiteral("full-after"))) {
        read.faults.fullAfterSeconds = *fullAfter;
    }
    return read;
}

} // namespace quorvex::deck::mdse
