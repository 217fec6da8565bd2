#pragma once

#include "deck/filedescriptor.h"

#include <csignal>
#include <initializer_list>
#include <QObject>

class QSocketNotifier;

namespace quorvex::deck {

// Turns signals such as SIGINT and SIGTERM into a Qt signal, so that the event loop ends and every
// destructor runs (the pseudo-terminal is closed, the device link removed). The signals are blocked and
// read from a signalfd. Make it right after the QCoreApplication, before any thread starts: threads
// started later inherit the blocked signals, earlier ones would not.
class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    StopSignals(StopSignals&&) = delete;
    StopSignals& operator=(StopSignals&&) = delete;
    // Takes any signal still waiting, then unblocks them again.
    ~StopSignals() override;

    [[nodiscard]] bool isValid() const { return fd.isValid(); }

signals:
    void signalReceived(int signalNumber);

private:
    void readSignals();

    sigset_t watched{};
    sigset_t previous{};
    FileDescriptor fd;
    QSocketNotifier* notifier = nullptr; // a child
};

} // namespace quorvex::deck
