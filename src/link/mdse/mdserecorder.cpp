#include "link/mdse/mdserecorder.h"

#include "link/mdse/packets.h"
#include "link/waits.h"
#include "platform/serialport.h"

#include <span>

namespace quorvex {

using mdse::DeckStatus;
using mdse::Report;
namespace command = mdse::command;

namespace {

// Waits in Ticks of 100 ms: a command or request gets 1 s, recording starts within 5 s of REC, the input
// locks within 2 s, the deck has stopped and written its table of contents within 10 s, and comes out of
// standby within 20 s (it reads the disc).
constexpr std::int16_t answerTicks = 10;
constexpr std::int16_t recordPauseTicks = 50;
constexpr std::int16_t lockTicks = 20;
constexpr std::int16_t stopTicks = 100;
constexpr std::int16_t powerTicks = 200;
constexpr std::int16_t pollMs = 200;
constexpr std::size_t keptReports = 256;

bool isKind(const Report& report, Report::Kind kind) {
    return report.kind == kind;
}

bool isRefusal(const Report& report) {
    return report.kind == Report::Kind::impossible || report.kind == Report::Kind::undefinedCommand;
}

// The answer to a command: its own report, or the deck's refusal.
auto answerOr(Report::Kind kind) {
    return [kind](const Report& report) {
        return report.kind == kind || report.kind == Report::Kind::impossible ||
               report.kind == Report::Kind::undefinedCommand;
    };
}

} // namespace

MdseRecorder::MdseRecorder(SerialPort& port, EventPump& pump, QObject* parent)
    : Recorder(port, pump, parent) {}

void MdseRecorder::send(const QByteArray& data) {
    const QByteArray packet = mdse::packetTo(data);
    line.send(std::span(reinterpret_cast<const std::uint8_t*>(packet.constData()), // NOLINT: bytes as bytes
                        static_cast<std::size_t>(packet.size())),
              mdse::packetName(data, true));
}

void MdseRecorder::tick() {
    ticking.tick();
    if (serial.bytesWaiting() == 0) {
        return;
    }
    for (const QByteArray& data : reader.take(serial.readAll())) {
        QByteArray packet = mdse::packetTo(data);
        packet[0] = static_cast<char>(0x6F); // as the deck sent it
        line.traceReceived(packet, mdse::packetName(data, false));
        note(mdse::readReport(data));
    }
}

void MdseRecorder::note(const Report& report) {
    if (report.kind == Report::Kind::status) {
        lastStatus = report.status;
        // A deck that stops without being told to has run out of disc, most likely.
        if (recording && report.status.mode() == DeckStatus::Mode::stop) {
            recording = false;
            stoppedItself = true;
        }
    } else if (report.kind == Report::Kind::stop) {
        recording = false;
    } else if (report.kind == Report::Kind::discExist || report.kind == Report::Kind::noToc) {
        QMetaObject::invokeMethod(this, &Recorder::discChanged, Qt::QueuedConnection);
    }
    inbox.push_back(report);
    if (inbox.size() > keptReports) {
        inbox.pop_front();
        ++base;
    }
}

const Report* MdseRecorder::since(std::uint64_t from, const Match& match) const {
    const std::uint64_t first = std::max(from, base);
    for (std::uint64_t at = taken(); at-- > first;) {
        const Report& report = inbox.at(static_cast<std::size_t>(at - base));
        if (match(report)) {
            return &report;
        }
    }
    return nullptr;
}

std::optional<Report> MdseRecorder::awaitReport(std::uint64_t from, const Match& match, std::int16_t ticks) {
    if (!waitUntil(ticking, eventPump(), ticks, [&] { return since(from, match) != nullptr || waitEnded; })) {
        return std::nullopt;
    }
    const Report* const found = since(from, match);
    return found != nullptr ? std::optional(*found) : std::nullopt;
}

std::optional<Report> MdseRecorder::request(const QByteArray& data, const Match& match, std::int16_t ticks) {
    const std::uint64_t from = taken();
    send(data);
    return awaitReport(from, match, ticks);
}

std::optional<DeckStatus> MdseRecorder::askStatus() {
    const std::optional<Report> status = request(
        command::statusRequest, [](const Report& report) { return isKind(report, Report::Kind::status); },
        answerTicks);
    return status ? std::optional(status->status) : std::nullopt;
}

void MdseRecorder::start() {
    constexpr std::int16_t settleMs = 200;
    delay(settleMs);
    send(command::remoteOn);
    const std::optional<DeckStatus> status = askStatus();
    if (status && status->standby()) {
        // Only an E11 or E52 has a standby to come out of; the STATUS after it is the word that it did.
        const std::uint64_t from = taken();
        send(command::powerOn);
        awaitReport(
            from,
            [](const Report& report) {
                return isKind(report, Report::Kind::status) && !report.status.standby();
            },
            powerTicks);
    }
    if (const std::optional<Report> model = request(
            command::modelNameRequest,
            [](const Report& report) { return isKind(report, Report::Kind::modelName); }, answerTicks)) {
        modelName = model->text;
    }
}

std::optional<QString> MdseRecorder::identify() {
    send(command::remoteOn);
    const std::optional<Report> model = request(
        command::modelNameRequest,
        [](const Report& report) { return isKind(report, Report::Kind::modelName); }, answerTicks);
    return model ? std::optional(model->text) : std::nullopt;
}

bool MdseRecorder::deckStopped() const {
    return !recording && (!lastStatus || lastStatus->mode() == DeckStatus::Mode::stop ||
                          lastStatus->mode() == DeckStatus::Mode::other);
}

void MdseRecorder::leave() {
    if (recording) {
        stopTrack(true);
    }
    if (waitingDiscName && deckStopped()) {
        writeName(0, *std::exchange(waitingDiscName, std::nullopt));
    }
    send(command::remoteOff);
}

void MdseRecorder::leaveNow() {
    if (recording) {
        send(command::stop);
    }
    send(command::remoteOff);
}

void MdseRecorder::press(RecorderButton button) {
    switch (button) {
    case RecorderButton::on:
    case RecorderButton::off:
        if (hasButton(button)) {
            send(button == RecorderButton::on ? command::powerOn : command::powerOff);
        }
        break;
    case RecorderButton::play:
        send(command::play);
        break;
    case RecorderButton::stop:
        send(command::stop);
        break;
    case RecorderButton::back:
        send(command::previousTrack);
        break;
    case RecorderButton::forward:
        send(command::nextTrack);
        break;
    }
}

bool MdseRecorder::hasButton(RecorderButton button) const {
    const bool power = button == RecorderButton::on || button == RecorderButton::off;
    return !power || modelName == QLatin1String("MDS-E11") || modelName == QLatin1String("MDS-E52");
}

DiscState MdseRecorder::askDisc() {
    const bool outerQuery = !asking;
    asking = true;
    DiscState disc;
    disc.model = modelName;
    const std::optional<Report> toc = request(
        command::tocRequest,
        [](const Report& report) {
            return isKind(report, Report::Kind::toc) || isKind(report, Report::Kind::noToc);
        },
        answerTicks);
    disc.noDisc = toc && toc->kind == Report::Kind::noToc;
    if (toc && toc->kind == Report::Kind::toc) {
        disc.tracks = static_cast<std::int16_t>(toc->first == 0 ? 0 : toc->last - toc->first + 1);
        disc.minutes = static_cast<std::int16_t>(toc->minutes);
        disc.seconds = static_cast<std::int16_t>(toc->seconds);
        constexpr int secondsPerMinute = 60;
        if (const std::optional<Report> remain =
                request(command::recRemainRequest, answerOr(Report::Kind::recRemain), answerTicks);
            remain && remain->kind == Report::Kind::recRemain) {
            disc.freeSeconds = remain->minutes * secondsPerMinute + remain->seconds;
        }
        // The disc's name space is what its name could have: the name it has, and all that is unused. The
        // name comes in packets of 16 bytes until one holds its end (a 00).
        const std::uint64_t from = taken();
        send(command::discNameRequest);
        awaitReport(
            from,
            [](const Report& report) {
                return isKind(report, Report::Kind::noDiscName) ||
                       (isKind(report, Report::Kind::discName) && report.nameBytes.contains('\0'));
            },
            answerTicks);
        discNameLength = 0;
        for (std::uint64_t at = std::max(from, base); at < taken(); ++at) {
            const Report& report = inbox.at(static_cast<std::size_t>(at - base));
            if (report.kind == Report::Kind::discName) {
                const qsizetype end = report.nameBytes.indexOf('\0');
                discNameLength += static_cast<int>(end < 0 ? report.nameBytes.size() : end);
            }
        }
        if (const std::optional<Report> names =
                request(command::nameRemainRequest(0), answerOr(Report::Kind::nameRemain), answerTicks);
            names && names->kind == Report::Kind::nameRemain) {
            disc.freeTitleCharacters = std::max(names->count - discNameLength, 0);
        }
    }
    if (outerQuery) {
        asking = false;
    }
    return disc;
}

std::optional<QString> MdseRecorder::refusal(const Report& report, const char* command) {
    if (report.kind == Report::Kind::impossible) {
        return QStringLiteral(
                   "The recorder refused %1 (IMPOSSIBLE): is the disc protected or full, or is there no "
                   "disc?")
            .arg(QLatin1String(command));
    }
    if (report.kind == Report::Kind::undefinedCommand) {
        return QStringLiteral(
                   "The recorder refused %1 (UNDEFINED COMMAND): is it an MDS-E11, MDS-E12 or MDS-E52, "
                   "and is Disc ▸ Serial device… set to the right recorder?")
            .arg(QLatin1String(command));
    }
    return std::nullopt;
}

Arming MdseRecorder::armTrack() {
    waitEnded = false;
    stoppedItself = false;
    marks = 0;
    Arming notAcknowledged{.result = Arming::Result::notAcknowledged, .message = {}};
    const std::optional<Report> toc = request(
        command::tocRequest, [](const Report& report) { return isKind(report, Report::Kind::toc); },
        answerTicks);
    tracksBeforeTake = toc ? toc->last : 0;
    // REC in stop: record-pause. Its refusal (no disc, a protected one) comes at once.
    const std::uint64_t fromRec = taken();
    armedAt = fromRec;
    send(command::rec);
    std::optional<DeckStatus> status;
    for (std::int16_t waited = 0; waited < recordPauseTicks && !waitEnded; waited += 2) {
        if (const Report* const refused = since(fromRec, isRefusal)) {
            return {.result = Arming::Result::failed, .message = *refusal(*refused, "REC")};
        }
        status = askStatus();
        if (status && status->mode() == DeckStatus::Mode::recordPause) {
            break;
        }
        delay(pollMs);
    }
    if (waitEnded || !status || status->mode() != DeckStatus::Mode::recordPause) {
        return notAcknowledged;
    }
    // The digital input locks onto the player's sound (already going out as silence) within moments.
    for (std::int16_t waited = 0; !status->inputLocked(); waited += 2) {
        if (waited >= lockTicks || waitEnded) {
            if (!waitEnded) {
                send(command::stop);
                return {.result = Arming::Result::failed,
                        .message =
                            QStringLiteral("The recorder hears no digital signal at its optical input: check "
                                           "the optical cable and set the recorder's input to OPTICAL.")};
            }
            return notAcknowledged;
        }
        delay(pollMs);
        const std::optional<DeckStatus> now = askStatus();
        status = now ? now : status;
    }
    // PLAY in record-pause starts the recording; the REC report says it has.
    const std::optional<Report> started = request(command::play, answerOr(Report::Kind::rec), answerTicks);
    if (!started) {
        return notAcknowledged;
    }
    if (const std::optional<QString> why = refusal(*started, "PLAY")) {
        send(command::stop);
        return {.result = Arming::Result::failed, .message = *why};
    }
    recording = true;
    return {.result = Arming::Result::recording, .message = {}};
}

void MdseRecorder::markTrack() {
    // REC while recording is the deck's own track mark; its report is not waited for.
    send(command::rec);
    ++marks;
}

void MdseRecorder::nameTrack(std::int16_t number, const QString& title) {
    waitingNames.push_back({.number = number, .title = title});
}

void MdseRecorder::nameDisc(const QString& name) {
    if (deckStopped() && !asking) {
        writeName(0, name);
    } else {
        waitingDiscName = name;
    }
}

void MdseRecorder::stopNow() {
    send(command::stop);
}

Stopping MdseRecorder::stopTrack(bool armed) {
    if (!armed) {
        return {};
    }
    waitEnded = false;
    // A deck still in record-pause (the run was stopped while arming) is stopped too; one that stopped by
    // itself has written its table of contents already.
    const std::uint64_t from = taken();
    if (recording || !deckStopped()) {
        send(command::stop);
        awaitReport(
            from, [](const Report& report) { return isKind(report, Report::Kind::stop); }, stopTicks);
    }
    recording = false;
    // The table of contents the deck sends once it has written it, or, when that does not come, asked for.
    std::optional<Report> toc = awaitReport(
        armedAt, [](const Report& report) { return isKind(report, Report::Kind::toc); }, stopTicks);
    if (!toc) {
        toc = request(
            command::tocRequest, [](const Report& report) { return isKind(report, Report::Kind::toc); },
            answerTicks);
    }
    const int expected = 1 + marks;
    const int made = toc ? toc->last - tracksBeforeTake : 0;
    Stopping stopping{.trackMissing = made < expected, .unnamed = {}};
    if (!stopping.trackMissing) {
        stopping.unnamed = writeWaitingNames(toc->last, expected);
    } else {
        for (const Waiting& waiting : std::exchange(waitingNames, {})) {
            stopping.unnamed.push_back(waiting.number);
        }
    }
    if (waitingDiscName) {
        writeName(0, *std::exchange(waitingDiscName, std::nullopt));
    }
    return stopping;
}

} // namespace quorvex
