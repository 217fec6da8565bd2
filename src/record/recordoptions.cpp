#include "record/recordoptions.h"

#include "platform/settingkeys.h"
#include "platform/settingsstore.h"
#include "platform/settingvalues.h"
#include "version.h"

#include <algorithm>
#include <QCommandLineParser>

namespace quorvex {

namespace {

const QString programName = QStringLiteral("quorvex-record");

// A whole number in [lowest, highest] or one of `allowed`.
std::optional<int> numberOption(const QString& text, int lowest, int highest) {
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber && number >= lowest && number <= highest ? std::optional<int>(number) : std::nullopt;
}

RecordOptions remembered(const SettingsStore& settings) {
    RecordOptions options;
    options.com = portNumberFromSetting(settings.read(setting::com));
    options.discMinutes = discMinutesFromSetting(settings.read(setting::discLength));
    options.gapless = rememberedSwitch(settings, setting::gapless);
    options.asciiTitles = rememberedSwitch(settings, setting::asciiTitles);
    options.useTags = useId3FromSetting(settings.read(setting::useId3)) != Qt::Unchecked;
    options.send44k = rememberedSwitch(settings, setting::send44k);
    options.level = levelFromSetting(settings.read(setting::level));
    options.output = settings.read(setting::output);
    return options;
}

} // namespace

ParsedRecordCommand parseRecordCommand(const QStringList& arguments, const SettingsStore& settings) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Records sound files, folders, playlists and cue sheets onto a MiniDisc recorder, one file (or "
        "cue track) per track: it plays each through the sound output cabled to the recorder and drives the "
        "recorder over its serial line. Every default is the window's remembered setting."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    const QCommandLineOption com(
        QStringLiteral("com"), QStringLiteral("The recorder is behind Com N (1 to 4)."), QStringLiteral("N"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("The recorder's serial device."),
                                    QStringLiteral("PATH"));
    const QCommandLineOption virtualDeck(
        QStringLiteral("virtual-deck"),
        QStringLiteral("Record onto a virtual recorder inside the program, its "
                       "frames shown on standard error."));
    const QCommandLineOption recorder(
        QStringLiteral("recorder"),
        QStringLiteral("The recorder's family: control-a1 (the Control-A1 interface) or mds-e (an MDS-E11, "
                       "MDS-E12 or MDS-E52 on its RS-232C port). Default: as remembered for the Com "
                       "button; control-a1 with --device and --virtual-deck."),
        QStringLiteral("FAMILY"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Write every frame to and from the recorder into FILE."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption discLength(QStringLiteral("disc-length"),
                                        QStringLiteral("The disc's length in minutes: 60, 74 or 80."),
                                        QStringLiteral("MINUTES"));
    const QCommandLineOption gapless(
        QStringLiteral("gapless"),
        QStringLiteral("Record the list as one take with a track mark at each file."));
    const QCommandLineOption insertPauses(
        QStringLiteral("insert-pauses"),
        QStringLiteral("Pause mode: no command, titles only, 4 s of silence after each file."));
    const QCommandLineOption noGapless(QStringLiteral("no-gapless"),
                                       QStringLiteral("One track per file, whatever the window remembers."));
    const QCommandLineOption ascii(QStringLiteral("ascii-titles"), QStringLiteral("Titles in plain ASCII."));
    const QCommandLineOption noAscii(
        QStringLiteral("no-ascii-titles"),
        QStringLiteral("Titles in their own script, whatever the window remembers."));
    const QCommandLineOption id3(QStringLiteral("id3"), QStringLiteral("Titles from the files' tags."));
    const QCommandLineOption noId3(QStringLiteral("no-id3"), QStringLiteral("Titles from the file names."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("The sound output, by the name --list-outputs prints."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption level(
        QStringLiteral("level"),
        QStringLiteral("The level: -6 (dB), 0 (full level: the files' own samples), "
                       "track or album (ReplayGain; -6 dB without gain tags)."),
        QStringLiteral("LEVEL"));
    const QCommandLineOption listOutputs(QStringLiteral("list-outputs"),
                                         QStringLiteral("Print the sound outputs and exit."));
    const QCommandLineOption listDevices(QStringLiteral("list-devices"),
                                         QStringLiteral("Print the serial devices and exit."));
    const QCommandLineOption discName(QStringLiteral("disc-name"), QStringLiteral("Name the disc TEXT."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption recordAnyway(QStringLiteral("record-anyway"),
                                          QStringLiteral("Record a list that does not fit the disc."));
    const QCommandLineOption plan(QStringLiteral("plan"),
                                  QStringLiteral("Print each entry's track, title and length and whether the "
                                                 "list fits the disc, and exit without recording."));
    parser.addOptions({help,        version,    com,          device,    virtualDeck,  recorder,
                       trace,       discLength, gapless,      noGapless, insertPauses, ascii,
                       noAscii,     id3,        noId3,        output,    level,        listOutputs,
                       listDevices, discName,   recordAnyway, plan});
    parser.addPositionalArgument(QStringLiteral("ENTRY"),
                                 QStringLiteral("A sound file, a folder, a playlist or a cue sheet."),
                                 QStringLiteral("ENTRY..."));

    ParsedRecordCommand parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.answer = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.answer =
            programName + QLatin1Char(' ') + QString::fromLatin1(version::text) + QLatin1Char('\n');
        return parsed;
    }
    RecordOptions options = remembered(settings);
    const int recorders =
        (parser.isSet(com) ? 1 : 0) + (parser.isSet(device) ? 1 : 0) + (parser.isSet(virtualDeck) ? 1 : 0);
    if (recorders > 1) {
        parsed.error =
            QStringLiteral("--com, --device and --virtual-deck each choose the recorder: give one.");
        return parsed;
    }
    for (const auto& [on, off] :
         {std::pair{&id3, &noId3}, std::pair{&gapless, &noGapless}, std::pair{&ascii, &noAscii}}) {
        if (parser.isSet(*on) && parser.isSet(*off)) {
            parsed.error = QStringLiteral("--%1 and --%2 cannot both be given.")
                               .arg(on->names().constFirst(), off->names().constFirst());
            return parsed;
        }
    }
    if (parser.isSet(com)) {
        const std::optional<int> number = numberOption(parser.value(com), firstPort, lastPort);
        if (!number) {
            parsed.error = QStringLiteral("--com takes 1, 2, 3 or 4, not \"%1\".").arg(parser.value(com));
            return parsed;
        }
        options.com = *number;
    }
    if (parser.isSet(discLength)) {
        const std::optional<int> minutes = numberOption(parser.value(discLength), 0, 999);
        if (!minutes || std::ranges::find(discLengthsMinutes, *minutes) == discLengthsMinutes.end()) {
            parsed.error =
                QStringLiteral("--disc-length takes 60, 74 or 80, not \"%1\".").arg(parser.value(discLength));
            return parsed;
        }
        options.discMinutes = *minutes;
    }
    if (parser.isSet(level)) {
        const std::optional<Level> named = levelNamed(parser.value(level));
        if (!named) {
            parsed.error =
                QStringLiteral("--level takes -6, 0, track or album, not \"%1\".").arg(parser.value(level));
            return parsed;
        }
        options.level = *named;
    }
    options.device = parser.value(device);
    if (parser.isSet(device) && options.device.isEmpty()) {
        parsed.error = QStringLiteral("--device needs a path.");
        return parsed;
    }
    options.virtualDeck = parser.isSet(virtualDeck);
    options.recorder =
        options.virtualDeck || parser.isSet(device)
            ? RecorderFamily::controlA1
            : recorderFamilyOf(settings.read(setting::commport, setting::recorderKey(options.com),
                                             recorderFamilyText(RecorderFamily::controlA1)))
                  .value_or(RecorderFamily::controlA1);
    if (parser.isSet(recorder)) {
        const std::optional<RecorderFamily> family = recorderFamilyOf(parser.value(recorder));
        if (!family) {
            parsed.error = QStringLiteral("--recorder takes control-a1 or mds-e, not \"%1\".")
                               .arg(parser.value(recorder));
            return parsed;
        }
        options.recorder = *family;
    }
    options.trace = parser.value(trace);
    options.gapless = parser.isSet(gapless) || (options.gapless && !parser.isSet(noGapless));
    options.insertPauses = parser.isSet(insertPauses);
    if (options.insertPauses && options.recorder == RecorderFamily::mdsE) {
        // A deck in remote mode ignores its own keys.
        parsed.error =
            QStringLiteral("--insert-pauses is for recorders without a serial link, not for an MDS-E "
                           "deck: a deck in remote mode ignores its own keys.");
        return parsed;
    }
    options.asciiTitles = parser.isSet(ascii) || (options.asciiTitles && !parser.isSet(noAscii));
    options.useTags = parser.isSet(id3) || (options.useTags && !parser.isSet(noId3));
    if (parser.isSet(output)) {
        options.output = parser.value(output);
    }
    if (parser.isSet(discName)) {
        options.discName = parser.value(discName);
    }
    options.recordAnyway = parser.isSet(recordAnyway);
    options.planOnly = parser.isSet(plan);
    options.listOutputs = parser.isSet(listOutputs);
    options.listDevices = parser.isSet(listDevices);
    options.entries = parser.positionalArguments();
    if (options.entries.isEmpty() && !options.listOutputs && !options.listDevices) {
        parsed.error =
            QStringLiteral("Nothing to record: give sound files, folders, playlists or cue sheets.");
        return parsed;
    }
    parsed.options = std::move(options);
    return parsed;
}

} // namespace quorvex
