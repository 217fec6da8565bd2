#pragma once

#include "deck/mdse/disc.h"
#include "deck/mdse/faults.h"
#include "deck/mdse/firmware.h"
#include "deck/mdse/packet.h"
#include "deck/mdse/settings.h"
#include "deck/mdse/status.h"
#include "deck/pseudoterminalmaster.h"
#include "deck/transmitter.h"

#include <optional>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace quorvex::deck::mdse {

// A Sony MDS-E11, E12 or E52 at the end of a serial cable, for the program to talk to over the deck's
// RS-232C protocol. It listens on a pseudo-terminal, frames the packets, carries them out (see Firmware),
// sends its reports, and misbehaves on demand (see Faults).
//
// Its log has one line per packet received, "14:03:07.215  7E 07 05 47 10 03 FF  REMOTE MODE On", one per
// run of bytes that make no packet ("… noise"), and one per report as it goes on the line, its bytes after
// "sent": "14:03:07.216  sent 6F 07 05 47 10 03 FF  REMOTE MODE On". A report a fault keeps back shows
// as "lost" instead of "sent"; one a fault garbles shows the bytes that left, marked "(garbled)".
class VirtualDeck final : public QObject {
    Q_OBJECT
public:
    explicit VirtualDeck(Disc disc = {}, Settings settings = {}, Faults faults = {},
                         QObject* parent = nullptr);

    [[nodiscard]] bool isOpen() const;        // the pseudo-terminal master is open
    [[nodiscard]] QString devicePath() const; // the slave device the program opens as its serial port
    // The log lines so far, oldest first (the newest `keptLogLines` of them).
    [[nodiscard]] QStringList log() const { return lines; }

    [[nodiscard]] const std::optional<Disc>& disc() const { return firmware.disc(); }
    [[nodiscard]] Mode mode() const { return firmware.mode(); }
    [[nodiscard]] int currentTrack() const { return firmware.currentTrack(); }
    [[nodiscard]] bool isRemote() const { return firmware.isRemote(); }
    [[nodiscard]] bool isPoweredOn() const { return firmware.isPoweredOn(); }
    [[nodiscard]] const Settings& settings() const { return firmware.settings(); }

    // Takes effect for the next packet; reports already on their way keep their timing. Counts of "the
    // n-th" and closeAfterPackets start again from here.
    void setFaults(Faults faults);
    // A disc goes in; once its TOC is read the deck says so (DISC DATA, STATUS, DISC EXIST).
    void insertDisc(Disc disc);
    void hangUp(); // the cable is pulled

    static constexpr qsizetype keptLogLines = 10000;
    // A packet begun that gets no further byte for this long never will be finished.
    static constexpr std::chrono::milliseconds packetGiveUp{100};

signals:
    // One per log line.
    void logged(const QString& line);
    // The line went dead: hangUp(), a closeAfterPackets fault, or the pseudo-terminal failing.
    void openChanged(bool open);

private:
    void take(const QByteArray& bytes);
    void handle(const Received& received);
    void send(const Firmware::Reports& reports);
    void send(const QByteArray& report);
    void catchUp();
    void schedule();
    void remember(const QString& entry);

    PseudoTerminalMaster line;
    Transmitter transmitter;
    PacketParser parser;
    Firmware firmware;
    Faults faults;
    QTimer clock;       // the firmware's next event
    QTimer giveUpTimer; // an unfinished packet
    int packetsSinceFaults = 0;
    int recReports = 0;
    int writeAcks = 0;
    int reportsSent = 0;
    QStringList lines;
};

} // namespace quorvex::deck::mdse
