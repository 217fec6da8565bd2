#include "deck/mdse/firmware.h"

#include "deck/mdse/reports.h"

#include <algorithm>
#include <utility>

namespace quorvex::deck::mdse {

Firmware::Firmware(Disc disc, Settings settings, const Faults& faults, Clock::time_point now)
    : setup(settings), transport(disc, settings.inputLocking) {
    if (!setup.startWithoutDisc) {
        loaded = std::move(disc);
    }
    powered = !(setup.startInStandby && hasPowerCommand(setup.model));
    tocRead = powered && loaded;
    setFaults(faults, now);
}

void Firmware::setFaults(const Faults& faults, Clock::time_point now) {
    transport.setFaults(faults, now);
    nameFlaws = ReadBackFlaws(faults.readBack);
    readBackUnanswered = faults.readBack.unansweredAfterRecording;
}

Status Firmware::status(Clock::time_point now) const {
    return {
        .discIn = loaded.has_value(),
        .poweredOn = powered,
        .mode = transport.mode(),
        .tocRead = ready(),
        .recordable = ready() && !loaded->writeProtected,
        .inputLocked = transport.inputLocked(now),
        .track = loaded ? transport.track() : 0,
    };
}

Firmware::Reports Firmware::obey(QByteArrayView data, Clock::time_point now) {
    const Command command = commandIn(data);
    if (!remote && command.kind != CommandKind::remoteOn) {
        return {reports::impossible};
    }
    switch (command.kind) {
    case CommandKind::remoteOn:
    case CommandKind::remoteOff:
        return remoteMode(command.kind == CommandKind::remoteOn, now);
    case CommandKind::powerOn:
    case CommandKind::powerOff:
        if (!hasPowerCommand(setup.model)) {
            return {reports::undefinedCommand};
        }
        return power(command.kind == CommandKind::powerOn, now);
    case CommandKind::unknown:
        return {reports::undefinedCommand};
    case CommandKind::discNameMore:
        if (!setup.discNameContinuation) {
            return {reports::undefinedCommand};
        }
        break;
    default:
        break;
    }
    const bool answeredInStandby = command.kind == CommandKind::statusRequest ||
                                   command.kind == CommandKind::modelNameRequest ||
                                   command.kind == CommandKind::tocDataRequest;
    if (!powered && !answeredInStandby) {
        return {reports::impossible};
    }
    switch (command.kind) {
    case CommandKind::play:
    case CommandKind::stop:
    case CommandKind::pause:
    case CommandKind::pauseOn:
    case CommandKind::previousTrack:
    case CommandKind::nextTrack:
    case CommandKind::record:
        return transportCommand(command, now);
    case CommandKind::discNameWrite:
    case CommandKind::discNameMore:
    case CommandKind::trackNameWrite:
    case CommandKind::trackNameMore:
        return writeName(command);
    default:
        return request(command, now);
    }
}

Firmware::Reports Firmware::remoteMode(bool on, Clock::time_point now) {
    if (!on) {
        remote = false;
        return {reports::remoteOff};
    }
    if (remote) {
        return setup.echoUnchanged ? Reports{reports::remoteOn} : Reports{};
    }
    // Taking over stops the deck, whatever it was doing: a recording ends there.
    remote = true;
    stopTransport(now);
    return {reports::remoteOn, statusReport(status(now))};
}

Firmware::Reports Firmware::power(bool on, Clock::time_point now) {
    const QByteArray& answer = on ? reports::powerOn : reports::powerOff;
    if (on == (powered && !powerOffPending)) {
        return setup.echoUnchanged ? Reports{answer} : Reports{};
    }
    if (tocReadyAt) {
        // The TOC is being read: the deck finishes that first, and goes to standby after it if asked.
        powerOffPending = !on;
        return {answer};
    }
    if (!on) {
        goToStandby(now);
        return {answer, statusReport(status(now))};
    }
    powered = true;
    tocReadyAt = now + setup.tocReading;
    announceDisc = false;
    return {answer};
}

Firmware::Reports Firmware::transportCommand(const Command& command, Clock::time_point now) {
    if (!ready()) {
        return {reports::impossible};
    }
    const Mode before = transport.mode();
    Reports reports;
    switch (command.kind) {
    case CommandKind::play:
        reports = transport.play(*loaded, now);
        break;
    case CommandKind::pause:
    case CommandKind::pauseOn:
        reports = transport.pause(*loaded, now, command.kind == CommandKind::pause);
        break;
    case CommandKind::previousTrack:
    case CommandKind::nextTrack:
        reports = transport.skip(*loaded, command.kind == CommandKind::nextTrack ? 1 : -1);
        break;
    case CommandKind::record:
        reports = transport.record(*loaded, now);
        break;
    default:
        stopTransport(now);
        reports = {reports::stop};
        break;
    }
    if (transport.mode() != Mode::stop) {
        names.cancel();
    }
    recordingStarted = recordingStarted || transport.mode() == Mode::record;
    if (transport.mode() != before) {
        reports.push_back(statusReport(status(now)));
    }
    return reports;
}

Firmware::Reports Firmware::request(const Command& command, Clock::time_point now) const {
    const bool inStop = ready() && transport.mode() == Mode::stop;
    switch (command.kind) {
    case CommandKind::statusRequest:
        return {statusReport(status(now))};
    case CommandKind::modelNameRequest:
        return {modelNameReport(modelName(setup.model))};
    case CommandKind::discDataRequest:
        return {ready() ? discDataReport(loaded->writeProtected) : reports::impossible};
    case CommandKind::tocDataRequest:
        if (unreadable()) {
            return {};
        }
        return {ready() ? tocDataReport(static_cast<int>(loaded->tracks.size()), recordedTime(*loaded))
                        : reports::noTocData};
    case CommandKind::trackTimeRequest:
        if (unreadable()) {
            return {};
        }
        return {ready() && hasTrack(*loaded, command.argument)
                    ? trackTimeReport(loaded->tracks[static_cast<std::size_t>(command.argument) - 1].length)
                    : reports::impossible};
    case CommandKind::discNameRequest:
    case CommandKind::trackNameRequest: {
        if (unreadable()) {
            return {};
        }
        const int track = command.kind == CommandKind::discNameRequest ? 0 : command.argument;
        return inStop && (track == 0 || hasTrack(*loaded, track)) ? nameReports(track)
                                                                  : Reports{reports::impossible};
    }
    case CommandKind::recRemainRequest:
        return {inStop ? recRemainReport(recordableTime(*loaded)) : reports::impossible};
    case CommandKind::nameRemainRequest: {
        const int track = command.argument;
        return {inStop && (track == 0 || hasTrack(*loaded, track))
                    ? nameRemainReport(track, nameRoom(*loaded, track))
                    : reports::impossible};
    }
    default:
        return {reports::undefinedCommand};
    }
}

Firmware::Reports Firmware::nameReports(int track) const {
    const QByteArray name = nameOf(*loaded, track);
    if (name.isEmpty()) {
        return {track == 0 ? reports::noDiscName : reports::noTrackName};
    }
    return track == 0 ? discNameReports(name) : trackNameReports(track, name);
}

Firmware::Reports Firmware::writeName(const Command& command) {
    if (!ready() || transport.mode() != Mode::stop) {
        names.cancel();
        return {reports::impossible};
    }
    NameStep step;
    switch (command.kind) {
    case CommandKind::discNameWrite:
    case CommandKind::trackNameWrite: {
        const int target = command.kind == CommandKind::discNameWrite ? 0 : command.argument;
        const bool known =
            command.kind == CommandKind::discNameWrite ? command.argument == 1 : hasTrack(*loaded, target);
        names.cancel();
        if (known) {
            step = names.begin(target, command.nameBytes, *loaded);
        }
        break;
    }
    default:
        step = names.more(command.kind == CommandKind::discNameMore, command.argument, command.nameBytes,
                          *loaded, setup.singleZeroEndsName);
        break;
    }
    if (step.kind == NameStep::Kind::refused) {
        return {reports::impossible};
    }
    if (step.kind == NameStep::Kind::finished) {
        setName(*loaded, step.target, nameFlaws.stored(step.name));
    }
    return {reports::writePacketReceived};
}

void Firmware::insertDisc(Disc disc, Clock::time_point now) {
    stopTransport(now);
    static_cast<void>(transport.takeNewToc()); // the old disc's TOC is no longer the deck's to report
    tocWrittenAt.reset();
    names.cancel();
    loaded = std::move(disc);
    transport.reset(*loaded);
    tocRead = false;
    if (powered) {
        tocReadyAt = now + setup.tocReading;
        announceDisc = true;
    }
}

std::optional<Firmware::Clock::time_point> Firmware::nextEvent() const {
    const auto next = nextOwnEvent();
    return next ? std::optional(next->first) : std::nullopt;
}

std::optional<std::pair<Firmware::Clock::time_point, Firmware::Event>> Firmware::nextOwnEvent() const {
    std::optional<std::pair<Clock::time_point, Event>> next;
    const auto consider = [&next](std::optional<Clock::time_point> at, Event event) {
        if (at && (!next || *at < next->first)) {
            next = std::pair{*at, event};
        }
    };
    if (loaded && transport.mode() == Mode::record) {
        consider(transport.fullAt(*loaded), Event::discFull);
    }
    consider(tocReadyAt, Event::tocRead);
    consider(tocWrittenAt, Event::tocWritten);
    return next;
}

Firmware::Reports Firmware::advance(Clock::time_point now) {
    Reports reports;
    for (auto next = nextOwnEvent(); next && next->first <= now; next = nextOwnEvent()) {
        handle(next->second, next->first, reports);
    }
    return reports;
}

void Firmware::handle(Event event, Clock::time_point at, Reports& reports) {
    switch (event) {
    case Event::discFull:
        // The deck stops of its own accord, as at the end of a disc in playback: no STOP report.
        stopTransport(at);
        tell(reports, statusReport(status(at)));
        break;
    case Event::tocRead:
        tocReadyAt.reset();
        tocRead = loaded.has_value();
        if (std::exchange(powerOffPending, false)) {
            goToStandby(at);
            tell(reports, statusReport(status(at)));
        } else if (std::exchange(announceDisc, false)) {
            tell(reports, discDataReport(loaded->writeProtected));
            tell(reports, statusReport(status(at)));
            tell(reports, reports::discExist);
        } else {
            tell(reports, statusReport(status(at)));
        }
        break;
    case Event::tocWritten:
        tocWrittenAt.reset();
        if (ready()) {
            tell(reports, tocDataReport(static_cast<int>(loaded->tracks.size()), recordedTime(*loaded)));
        }
        break;
    }
}

void Firmware::stopTransport(Clock::time_point now) {
    if (!loaded) {
        return;
    }
    transport.stop(*loaded, now);
    if (transport.takeNewToc()) {
        tocWrittenAt = now + setup.tocWriting;
    }
}

void Firmware::goToStandby(Clock::time_point now) {
    stopTransport(now);
    tocWrittenAt.reset();
    names.cancel();
    powered = false;
    tocRead = false;
}

void Firmware::tell(Reports& reports, const QByteArray& report) const {
    if (remote) {
        reports.push_back(report);
    }
}

} // namespace quorvex::deck::mdse
