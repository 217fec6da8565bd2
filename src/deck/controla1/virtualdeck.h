#pragma once

#include "deck/controla1/answers.h"
#include "deck/controla1/disc.h"
#include "deck/controla1/discdrive.h"
#include "deck/controla1/faults.h"
#include "deck/controla1/frameparser.h"
#include "deck/pseudoterminalmaster.h"
#include "deck/transmitter.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace quorvex::deck {

// A MiniDisc recorder at the end of a serial cable, for the program to talk to. It listens on a
// pseudo-terminal, logs every frame, keeps a disc (tracks, time, titles), answers record, stop and the
// disc-information request as the real recorder does, and misbehaves on demand (see Faults).
class VirtualDeck final : public QObject {
    Q_OBJECT
public:
    explicit VirtualDeck(Disc disc = {}, Faults faults = {}, QObject* parent = nullptr);

    [[nodiscard]] bool isOpen() const;        // the pseudo-terminal master is open
    [[nodiscard]] QString devicePath() const; // the slave device the program opens as its serial port
    [[nodiscard]] const Disc& disc() const;
    // The log lines so far, oldest first (the newest `keptLogLines` of them).
    [[nodiscard]] QStringList log() const;

    // Takes effect for the next frame; answers already on their way keep their timing. A closeAfterFrames
    // counts the frames that arrive from now on.
    void setFaults(Faults faults);
    void hangUp(); // the cable is pulled

    static constexpr qsizetype keptLogLines = 10000;

signals:
    // One per log line: every frame, and every run of skipped noise.
    void frameReceived(const QString& logLine);
    // The line went dead: hangUp(), a closeAfterFrames fault, or the pseudo-terminal failing.
    void openChanged(bool open);

private:
    void take(const QByteArray& bytes);
    void handle(const Received& received);
    // Carries the command out; returns a note for its log line when a fault changed what it did.
    QString obey(Command command);
    void answer(Command command);
    void remember(const QString& entry);

    PseudoTerminalMaster line;
    Transmitter transmitter;
    FrameParser parser;
    DiscDrive drive;
    Faults faults;
    int framesSinceFaults = 0;
    bool recordTaken = false; // a record command has arrived since the deck started
    QStringList lines;
};

} // namespace quorvex::deck
