#include "record/recordcommand.h"

#include "deck/demorecorder.h"
#include "link/controla1/titleframe.h"
#include "link/linktrace.h"
#include "platform/dbussessionbus.h"
#include "platform/deviceserialport.h"
#include "platform/mpvmediaplayer.h"
#include "platform/qteventpump.h"
#include "platform/serialdevices.h"
#include "platform/uilanguage.h"
#include "record/consolefeedback.h"
#include "run/discrecords.h"
#include "run/fitcheck.h"
#include "run/recordingsession.h"
#include "tracks/formatseconds.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

namespace quorvex {

namespace {

constexpr int outputListMs = 3000;

void printOut(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void sayError(const QString& text) {
    std::fputs(QStringLiteral("quorvex-record: %1\n").arg(text).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

int status(ExitStatus exit) {
    return static_cast<int>(exit);
}

} // namespace

RecordCommand::RecordCommand(RecordOptions given, const SettingsStore& store)
    : options(std::move(given)), settings(store) {}

void RecordCommand::stopSignal(int signalNumber) {
    if (stoppedBy != 0) {
        // The stop frame has gone already: the second signal does not wait for its answer, but the tracks
        // made so far keep their record.
        if (const std::optional<RecordedRun> sofar =
                session != nullptr ? session->recordedSoFar() : std::nullopt) {
            saveRecord(*sofar);
        }
        // A deck is stopped and leaves remote mode without waiting for anything.
        if (session != nullptr) {
            session->recorder().leaveNow();
        }
        std::_Exit(status(ExitStatus::interrupted) + stoppedBy);
    }
    stoppedBy = signalNumber;
    if (session != nullptr) {
        session->requestStop();
    }
}

void RecordCommand::saveRecord(const RecordedRun& run) const {
    if (const std::optional<QString> notSaved =
            saveRunRecord(DiscRecords(), options.discName.value_or(QString()), run)) {
        sayError(*notSaved);
    }
}

bool RecordCommand::pumpUntil(const std::function<bool()>& done, int timeOutMs) {
    const QDeadlineTimer deadline(timeOutMs);
    while (!done() && stoppedBy == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return stoppedBy == 0;
}

int RecordCommand::run() {
    if (options.listDevices) {
        for (const SerialDevice& device : systemSerialDevices()) {
            printOut(QStringLiteral("%1\t%2\n").arg(device.path, device.description));
        }
        return status(ExitStatus::recorded);
    }
    try {
        return options.listOutputs ? listOutputs() : record();
    } catch (const MediaPlayerUnavailable& failure) {
        sayError(QStringLiteral("the media player could not be started (%1).")
                     .arg(QString::fromLocal8Bit(failure.what())));
        return status(ExitStatus::cannotGoOn);
    }
}

int RecordCommand::listOutputs() {
    const MpvMediaPlayer player;
    pumpUntil([&player] { return player.soundOutputs().has_value(); }, outputListMs);
    for (const SoundOutput& output : player.soundOutputs().value_or(std::vector<SoundOutput>{})) {
        printOut(QStringLiteral("%1\t%2\n").arg(output.name, output.description));
    }
    return stoppedBy != 0 ? status(ExitStatus::interrupted) + stoppedBy : status(ExitStatus::recorded);
}

int RecordCommand::record() {
    const auto interrupted = [this] { return status(ExitStatus::interrupted) + stoppedBy; };
    std::unique_ptr<DemoRecorder> demo;
    if (options.virtualDeck) {
        demo = std::make_unique<DemoRecorder>(stderr, options.recorder == RecorderFamily::mdsE
                                                          ? deck::RecorderFamily::mdsE
                                                          : deck::RecorderFamily::controlA1);
        if (!demo->isOpen()) {
            sayError(QStringLiteral("cannot open a pseudo-terminal for the virtual recorder."));
            return status(ExitStatus::badUsage);
        }
    }
    DeviceSerialPort serial(settings, demo != nullptr ? demo->devicePath() : options.device);
    QtEventPump pump;
    MpvMediaPlayer player;
    // The demo works on any computer: without a sound output it records in silence, in real time.
    player.setSilentFallback(options.virtualDeck);
    player.setSend44k(options.send44k);
    if (!options.output.isEmpty()) {
        if (!pumpUntil([&player] { return player.soundOutputs().has_value(); }, outputListMs)) {
            return interrupted();
        }
        const std::vector<SoundOutput> outputs = player.soundOutputs().value_or(std::vector<SoundOutput>{});
        if (std::ranges::none_of(outputs,
                                 [this](const SoundOutput& o) { return o.name == options.output; })) {
            sayError(QStringLiteral(
                         "the sound output \"%1\" is not connected; --list-outputs lists those that are.")
                         .arg(options.output));
            return status(ExitStatus::badUsage);
        }
        player.setSoundOutput(options.output);
    }
    DBusSessionBus bus(QStringLiteral("quorvex-record"));
    RecordingSession recording({.serial = serial, .pump = pump, .player = player, .bus = bus});
    Recorder& recorder = recording.setFamily(options.recorder);
    LinkTrace trace;
    if (!options.trace.isEmpty()) {
        if (const std::optional<QString> failure = trace.writeTo(options.trace)) {
            sayError(*failure);
            return status(ExitStatus::badUsage);
        }
        recorder.setTrace(&trace);
    }
    session = &recording;
    // A stop signal after this function has returned finds no session.
    const auto forget = qScopeGuard([this] { session = nullptr; });
    ConsoleFeedback feedback(stdout, stderr, options.recordAnyway);
    bool lineLost = false;
    connect(&recorder, &Recorder::told, this, [&](const QString& text) { feedback.say(text); });
    connect(&recorder, &Recorder::lost, this, [&](const QString& reason) {
        lineLost = true;
        feedback.say(QStringLiteral("the connection to the recorder was lost (%1).").arg(reason));
        recording.requestStop();
    });
    std::size_t refused = 0;
    connect(&recording.feed(), &TrackListFeed::refused, this, [&](const std::vector<Refused>& entries) {
        refused += entries.size();
        feedback.say(refusedEntriesText(entries));
    });
    // The link's clock, as the window's Timer1.
    constexpr int tickInterval = 100;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    connect(&ticks, &QTimer::timeout, &recorder, &Recorder::tick);
    ticks.start(tickInterval);

    serial.setPortNumber(options.com);
    if (const std::optional<QString> failure = serial.open()) {
        sayError(QStringLiteral("Error opening Com Port, please select another one: %1").arg(*failure));
        return status(ExitStatus::badUsage);
    }
    recorder.setPauseMode(options.insertPauses);
    // Whatever ends the command from here on, a deck is stopped, its names written and remote mode left.
    const auto leave = qScopeGuard([&recorder, &serial] {
        if (serial.isOpen()) {
            recorder.leave();
        }
    });
    recording.titles().setUseTags(options.useTags);
    recording.titles().setLanguage(uiLanguage(localeVariables()));
    recording.titles().setPlainAscii(options.asciiTitles);
    recorder.start();
    if (options.discName) {
        recorder.nameDisc(recording.titles().titleText(*options.discName));
    }
    recording.add(options.entries, 0);
    if (!pumpUntil([&recording] { return !recording.isAdding(); }, std::numeric_limits<int>::max())) {
        return interrupted();
    }
    TrackListModel& entries = recording.entries();
    if (entries.count() == 0) {
        feedback.say(QStringLiteral("nothing to record."));
        return status(ExitStatus::badUsage);
    }
    std::vector<int> all(static_cast<std::size_t>(entries.count()));
    std::iota(all.begin(), all.end(), 0);

    if (options.planOnly) {
        const DiscState disc = recorder.askDisc();
        std::vector<std::optional<std::chrono::milliseconds>> lengths;
        std::vector<QString> names;
        for (const int row : all) {
            lengths.push_back(entries.length(row));
            names.push_back(recording.recorderTitle(recording.titles().derive(entries.source(row))));
            const QString title = recorder.titleAsSent(names.back());
            printOut(QStringLiteral("%1 %2  %3\n")
                         .arg(disc.tracks + row + 1)
                         .arg(title, formatLength(lengths.back(), QStringLiteral("--:--"))));
        }
        const std::optional<QString> question =
            fitQuestion({.discMinutes = options.discMinutes,
                         .disc = disc,
                         .pauseMode = options.insertPauses,
                         .lengths = lengths,
                         .names = disc.freeTitleCharacters ? std::span<const QString>(names)
                                                           : std::span<const QString>()});
        printOut((question ? *question : QStringLiteral("The list fits the disc.")) + QLatin1Char('\n'));
        return question && !options.recordAnyway ? status(ExitStatus::doesNotFit)
                                                 : status(ExitStatus::recorded);
    }

    const RunSummary summary = recording.record({.entries = all,
                                                 .discMinutes = options.discMinutes,
                                                 .gapless = options.gapless,
                                                 .level = options.level},
                                                feedback);
    // Whatever ended the run, the tracks it made are on the disc.
    saveRecord(recording.recordedRun(summary));
    if (summary.check) {
        printOut(summary.check->summary + QLatin1Char('\n'));
    }
    if (stoppedBy != 0) {
        return interrupted();
    }
    if (lineLost || summary.aborted) {
        return status(ExitStatus::cannotGoOn);
    }
    if (feedback.declined()) {
        return status(ExitStatus::doesNotFit);
    }
    const bool checked = !summary.check || summary.check->outcome == DiscCheck::Outcome::asPlanned ||
                         summary.check->outcome == DiscCheck::Outcome::pauseMode;
    const bool whole = refused == 0 && summary.recorded == entries.count() && checked;
    return whole ? status(ExitStatus::recorded) : status(ExitStatus::notAllRecorded);
}

} // namespace quorvex
