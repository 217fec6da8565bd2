#include "deck/mdse/virtualdeck.h"

#include "deck/hex.h"
#include "deck/logformat.h"
#include "deck/mdse/commands.h"
#include "deck/mdse/reports.h"

#include <algorithm>
#include <QTime>
#include <utility>

namespace quorvex::deck::mdse {
namespace {

using Clock = Firmware::Clock;

// Every byte after the length inverted: the packet fails its checks, and its data are wrong.
QByteArray garbled(QByteArray packet) {
    for (qsizetype at = 2; at < packet.size(); ++at) {
        packet[at] = static_cast<char>(~static_cast<unsigned char>(packet[at]));
    }
    return packet;
}

} // namespace

VirtualDeck::VirtualDeck(Disc disc, Settings settings, Faults faults, QObject* parent)
    : QObject(parent), transmitter([this](QByteArrayView bytes) { line.write(bytes); }),
      firmware(std::move(disc), settings, faults, Clock::now()), faults(std::move(faults)) {
    connect(&line, &PseudoTerminalMaster::bytesReceived, this, &VirtualDeck::take);
    connect(&line, &PseudoTerminalMaster::lineBroken, this, [this] {
        transmitter.clear();
        clock.stop();
        giveUpTimer.stop();
        emit openChanged(false);
    });
    for (QTimer* timer : {&clock, &giveUpTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&clock, &QTimer::timeout, this, &VirtualDeck::catchUp);
    connect(&giveUpTimer, &QTimer::timeout, this, [this] {
        for (const Received& received : parser.giveUpPending()) {
            handle(received);
        }
    });
    schedule();
}

bool VirtualDeck::isOpen() const {
    return line.isOpen();
}

QString VirtualDeck::devicePath() const {
    return line.slavePath();
}

void VirtualDeck::setFaults(Faults faults) {
    firmware.setFaults(faults, Clock::now());
    this->faults = std::move(faults);
    packetsSinceFaults = 0;
    recReports = 0;
    writeAcks = 0;
    reportsSent = 0;
    schedule();
}

void VirtualDeck::insertDisc(Disc disc) {
    catchUp();
    firmware.insertDisc(std::move(disc), Clock::now());
    schedule();
}

void VirtualDeck::hangUp() {
    if (!line.isOpen()) {
        return;
    }
    transmitter.clear();
    clock.stop();
    giveUpTimer.stop();
    line.close();
    emit openChanged(false);
}

void VirtualDeck::take(const QByteArray& bytes) {
    for (const Received& received : parser.feed(bytes)) {
        // Once the cable is out, whatever else came in the same read never reached the deck.
        if (!line.isOpen()) {
            return;
        }
        handle(received);
    }
    if (parser.pendingSize() > 0 && line.isOpen()) {
        giveUpTimer.start(packetGiveUp);
    } else {
        giveUpTimer.stop();
    }
}

void VirtualDeck::handle(const Received& received) {
    const QTime at = QTime::currentTime();
    if (!received.data) {
        remember(formatLogLine(at, shortenedHex(received.bytes), QStringLiteral("noise")));
        return;
    }
    remember(formatLogLine(at, hexBytes(received.bytes), commandName(*received.data)));
    const auto now = Clock::now();
    Firmware::Reports reports = firmware.advance(now);
    const Firmware::Reports answers = firmware.obey(*received.data, now);
    reports.insert(reports.end(), answers.begin(), answers.end());
    ++packetsSinceFaults;
    if (faults.closeAfterPackets && packetsSinceFaults >= *faults.closeAfterPackets) {
        // The cable comes out right after this packet arrived: the deck carried it out, but its reports
        // never leave.
        hangUp();
        return;
    }
    send(reports);
    schedule();
}

void VirtualDeck::catchUp() {
    send(firmware.advance(Clock::now()));
    schedule();
}

void VirtualDeck::schedule() {
    const auto next = firmware.nextEvent();
    if (!next || !line.isOpen()) {
        clock.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
    clock.start(std::max(wait, std::chrono::milliseconds{0}));
}

void VirtualDeck::send(const Firmware::Reports& reports) {
    for (const QByteArray& report : reports) {
        send(report);
    }
}

void VirtualDeck::send(const QByteArray& report) {
    const QString name = reportName(report);
    QByteArray packet = reportPacket(report);
    const bool lost = faults.silent || (report == reports::rec && hits(faults.loseRecReport, ++recReports)) ||
                      (report == reports::writePacketReceived && hits(faults.loseWriteAck, ++writeAcks));
    if (lost) {
        remember(formatLogLine(QTime::currentTime(), QStringLiteral("lost ") + hexBytes(packet), name));
        return;
    }
    const bool garble = hits(faults.garbleReply, ++reportsSent);
    if (garble) {
        packet = garbled(packet);
    }
    const QString shown = QStringLiteral("sent ") + hexBytes(packet);
    const QString meaning = garble ? name + QStringLiteral(" (garbled)") : name;
    transmitter.send(packet, faults, [this, shown, meaning] {
        remember(formatLogLine(QTime::currentTime(), shown, meaning));
    });
}

void VirtualDeck::remember(const QString& entry) {
    lines.append(entry);
    if (lines.size() > keptLogLines) {
        lines.removeFirst();
    }
    emit logged(entry);
}

} // namespace quorvex::deck::mdse
