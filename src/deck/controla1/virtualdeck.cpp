#include "deck/controla1/virtualdeck.h"

#include "deck/controla1/logline.h"

#include <QTime>
#include <utility>
#include <variant>

namespace quorvex::deck {

VirtualDeck::VirtualDeck(Disc disc, Faults faults, QObject* parent)
    : QObject(parent), transmitter([this](QByteArrayView bytes) { line.write(bytes); }),
      drive(std::move(disc)), faults(std::move(faults)) {
    drive.setFlaws(this->faults.readBack);
    connect(&line, &PseudoTerminalMaster::bytesReceived, this, &VirtualDeck::take);
    connect(&line, &PseudoTerminalMaster::lineBroken, this, [this] {
        transmitter.clear();
        emit openChanged(false);
    });
}

bool VirtualDeck::isOpen() const {
    return line.isOpen();
}

QString VirtualDeck::devicePath() const {
    return line.slavePath();
}

const Disc& VirtualDeck::disc() const {
    return drive.disc();
}

QStringList VirtualDeck::log() const {
    return lines;
}

void VirtualDeck::setFaults(Faults faults) {
    this->faults = std::move(faults);
    drive.setFlaws(this->faults.readBack);
    framesSinceFaults = 0;
}

void VirtualDeck::hangUp() {
    if (!line.isOpen()) {
        return;
    }
    transmitter.clear();
    line.close();
    emit openChanged(false);
}

void VirtualDeck::take(const QByteArray& bytes) {
    for (const Received& received : parser.feed(bytes)) {
        // Once the cable is out, whatever else came in the same read never reached the recorder.
        if (!line.isOpen()) {
            return;
        }
        handle(received);
    }
}

void VirtualDeck::handle(const Received& received) {
    const auto* command = std::get_if<Command>(&received.meaning);
    const bool trackMark = command != nullptr && *command == commands::record && drive.isRecording();
    QString note = trackMark ? QStringLiteral(": track mark") : QString();
    if (command != nullptr) {
        note += obey(*command);
    } else if (const auto* title = std::get_if<Title>(&received.meaning); title != nullptr) {
        if (const QString stored = drive.setTitle(title->track, title->text); stored != title->text) {
            note = QStringLiteral(": stored as \"%1\"").arg(stored);
        }
    }
    remember(logLine(QTime::currentTime(), received) + note);
    if (std::holds_alternative<Noise>(received.meaning)) {
        return;
    }
    ++framesSinceFaults;
    if (faults.closeAfterFrames && framesSinceFaults >= *faults.closeAfterFrames) {
        // The cable comes out right after this frame arrived: it changed the disc, but its answer never
        // leaves.
        hangUp();
        return;
    }
    if (command != nullptr) {
        answer(*command);
    }
}

QString VirtualDeck::obey(Command command) {
    const auto now = DiscDrive::Clock::now();
    const bool wasRecording = drive.isRecording();
    const int tracks = drive.disc().tracks;
    if (command == commands::record) {
        recordTaken = true;
        drive.record(now);
    } else if (command == commands::stop) {
        drive.stop(now);
    }
    const bool trackEnded = wasRecording && (command == commands::record || command == commands::stop);
    return trackEnded && drive.disc().tracks == tracks ? QStringLiteral(" (no track made)") : QString();
}

void VirtualDeck::answer(Command command) {
    // Taken now, so a disc-information answer tells the disc as it was when asked, however late it leaves.
    const std::optional<AnswerFrame> frame = answerTo(command, drive.disc());
    const bool unreadable = frame && frame->kind == Answer::discInformation && recordTaken &&
                            faults.readBack.unansweredAfterRecording;
    if (frame && isAnswered(faults, frame->kind) && !unreadable) {
        transmitter.send(frame->bytes, faults);
    }
}

void VirtualDeck::remember(const QString& entry) {
    lines.append(entry);
    if (lines.size() > keptLogLines) {
        lines.removeFirst();
    }
    emit frameReceived(entry);
}

} // namespace quorvex::deck
