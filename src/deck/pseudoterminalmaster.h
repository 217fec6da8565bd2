#pragma once

#include "deck/filedescriptor.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace quorvex::deck {

// The recorder's end of a serial cable: the master side of a pseudo-terminal. The program under test opens
// the slave device (slavePath()) as its serial port; what it writes arrives here, and what is written here
// reaches it. Closing the master is pulling the cable: the program's port goes dead.
class PseudoTerminalMaster final : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminalMaster(QObject* parent = nullptr);
    PseudoTerminalMaster(const PseudoTerminalMaster&) = delete;
    PseudoTerminalMaster& operator=(const PseudoTerminalMaster&) = delete;
    PseudoTerminalMaster(PseudoTerminalMaster&&) = delete;
    PseudoTerminalMaster& operator=(PseudoTerminalMaster&&) = delete;
    ~PseudoTerminalMaster() override = default;

    [[nodiscard]] bool isOpen() const { return master.isValid(); }
    [[nodiscard]] QString slavePath() const { return path; }

    // Writes what the line takes now; bytes the line cannot take (nobody reads the slave) are dropped,
    // as a recorder talking into a cable nobody listens to would lose them.
    void write(QByteArrayView bytes);
    void close();

signals:
    void bytesReceived(const QByteArray& bytes);
    // The line broke on its own (not through close()).
    void lineBroken();

private:
    void readAvailable();

    FileDescriptor master;
    // Kept open so that the master never reads as hung up while no program has the port open: otherwise
    // every wait would wake at once with EIO until one does.
    FileDescriptor slave;
    QString path;
    QSocketNotifier* notifier = nullptr; // a child; deleted late, as it may be the one calling us
};

} // namespace quorvex::deck
