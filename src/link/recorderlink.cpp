#include "link/recorderlink.h"

#include "link/discinfo.h"
#include "link/titleframe.h"
#include "link/waits.h"

namespace quorvex {

RecorderLink::RecorderLink(SerialPort& port, EventPump& pump, QObject* parent)
    : QObject(parent), serial(port), pump(pump), line(port) {
    constexpr std::int16_t acknowledgementDistance = 2;
    watcher.expectDistance = acknowledgementDistance;
    // Queued, so sending a frame never stops to say anything.
    connect(&line, &RecorderLine::lost, this, &RecorderLink::lost, Qt::QueuedConnection);
}

void RecorderLink::sendCommand(std::int16_t category, std::int16_t code) {
    if (!paused) {
        line.send(commandFrame(category, code));
    }
}

void RecorderLink::sendCommandEvenPaused(CommandPair command) {
    line.send(commandFrame(command.category, command.code));
}

void RecorderLink::sendTitle(const QString& name, std::int16_t trackNumber) {
    if (const std::optional<TitleFrame> frame = titleFrame(name, trackNumber)) {
        line.send(*frame);
    }
}

void RecorderLink::delay(std::int16_t milliseconds) {
    quorvex::delay(watcher, pump, milliseconds);
}

bool RecorderLink::waitForReply(std::int16_t first, std::int16_t second, std::int16_t distance) {
    return quorvex::waitForReply(watcher, pump, paused, first, second, distance);
}

void RecorderLink::endWait() {
    watcher.tickCountdown = 0;
}

void RecorderLink::tick() {
    watcher.tick(serial);
}

void RecorderLink::start() {
    constexpr std::int16_t settleMs = 200;
    delay(settleMs);
    sendCommand(command::on);
}

DiscInfo RecorderLink::askDisc() {
    // Bytes that come right behind the answer move the window on before it is read: the answer itself is
    // what counts, when one came.
    const std::uint64_t answersBefore = watcher.discInfoAnswers;
    const bool outerQuery = !asking;
    asking = true;
    line.send(commandFrame(command::discInformation.category, command::discInformation.code));
    waitForReply(discInfoFirst, discInfoSecond, discInfoDistance);
    if (outerQuery) {
        asking = false;
    }
    return discInfoSince(watcher, answersBefore);
}

} // namespace quorvex
