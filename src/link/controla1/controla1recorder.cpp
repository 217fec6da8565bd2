#include "link/controla1/controla1recorder.h"

#include "link/controla1/discinfo.h"
#include "link/controla1/framenames.h"
#include "link/controla1/titleframe.h"

namespace quorvex {

namespace {

constexpr std::int16_t acknowledgementDistance = 2;

CommandPair pairOf(RecorderButton button) {
    switch (button) {
    case RecorderButton::on:
        return command::on;
    case RecorderButton::off:
        return command::off;
    case RecorderButton::play:
        return command::play;
    case RecorderButton::stop:
        return command::stop;
    case RecorderButton::back:
        return command::back;
    case RecorderButton::forward:
        break;
    }
    return command::forward;
}

DiscState stateOf(const DiscInfo& disc) {
    DiscState state;
    state.tracks = disc.tracks;
    state.minutes = disc.minutes;
    state.seconds = disc.seconds;
    return state;
}

} // namespace

ControlA1Recorder::ControlA1Recorder(SerialPort& port, EventPump& pump, QObject* parent)
    : Recorder(port, pump, parent) {
    watcher.expectDistance = acknowledgementDistance;
}

void ControlA1Recorder::tick() {
    traceAnswers(watcher.tick(serial));
}

void ControlA1Recorder::traceAnswers(QByteArrayView bytes) {
    for (const char byte : bytes) {
        answerSoFar.append(byte);
        if (static_cast<std::uint8_t>(byte) == frameEnd) {
            line.traceReceived(answerSoFar, answerName(answerSoFar));
            answerSoFar.clear();
        }
    }
}

void ControlA1Recorder::start() {
    constexpr std::int16_t settleMs = 200;
    delay(settleMs);
    sendCommand(command::on);
}

void ControlA1Recorder::press(RecorderButton button) {
    sendCommand(pairOf(button));
}

void ControlA1Recorder::sendCommand(std::int16_t category, std::int16_t code) {
    if (!pauseMode()) {
        line.send(commandFrame(category, code), commandName({category, code}));
    }
}

void ControlA1Recorder::sendCommandEvenPaused(CommandPair pair) {
    line.send(commandFrame(pair.category, pair.code), commandName(pair));
}

void ControlA1Recorder::sendTitle(const QString& name, std::int16_t trackNumber) {
    if (const std::optional<TitleFrame> frame = titleFrame(name, trackNumber)) {
        line.send(*frame, QStringLiteral("title track %1 \"%2\"").arg(trackNumber).arg(titleFieldText(name)));
    }
}

bool ControlA1Recorder::waitForReply(std::int16_t first, std::int16_t second, std::int16_t distance) {
    return quorvex::waitForReply(watcher, eventPump(), pauseMode(), first, second, distance);
}

DiscState ControlA1Recorder::askDisc() {
    // Bytes that come right behind the answer move the window on before it is read: the answer itself is
    // what counts, when one came.
    const std::uint64_t answersBefore = watcher.discInfoAnswers;
    const bool outerQuery = !asking;
    asking = true;
    line.send(commandFrame(command::discInformation.category, command::discInformation.code),
              commandName(command::discInformation));
    waitForReply(discInfoFirst, discInfoSecond, discInfoDistance);
    if (outerQuery) {
        asking = false;
    }
    return stateOf(discInfoSince(watcher, answersBefore));
}

ReadBack ControlA1Recorder::readBack(std::span<const int> /*tracks*/) {
    const std::uint64_t answersBefore = watcher.discInfoAnswers;
    line.send(commandFrame(command::discInformation.category, command::discInformation.code),
              commandName(command::discInformation));
    waitForReply(discInfoFirst, discInfoSecond, discInfoDistance);
    ReadBack read;
    read.answered = watcher.discInfoAnswers > answersBefore;
    if (read.answered) {
        read.disc = stateOf(discInfoSince(watcher, answersBefore));
    }
    return read;
}

DiscState ControlA1Recorder::discBeforeRun() {
    constexpr std::int16_t discInfoSettleMs = 2000;
    const std::uint64_t answersBefore = watcher.discInfoAnswers;
    sendCommand(command::discInformation);
    delay(discInfoSettleMs);
    return stateOf(discInfoSince(watcher, answersBefore));
}

Arming ControlA1Recorder::armTrack() {
    sendCommand(command::record);
    sendCommand(command::play);
    // No pass of the event loop between the play command and this wait: the acknowledgement cannot be taken
    // in before the wait is looking for it.
    const bool acknowledged =
        waitForReply(command::record.category, command::record.code, acknowledgementDistance);
    return {.result = acknowledged ? Arming::Result::recording : Arming::Result::notAcknowledged,
            .message = {}};
}

QString ControlA1Recorder::titleAsSent(const QString& title) const {
    return titleFieldText(title);
}

Stopping ControlA1Recorder::stopTrack(bool armed) {
    if (armed) {
        sendCommandEvenPaused(command::stop);
    } else {
        sendCommand(command::stop);
    }
    waitForReply(command::stop.category, command::stop.code, acknowledgementDistance);
    return {};
}

} // namespace quorvex
