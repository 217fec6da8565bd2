#include "deck/stopsignals.h"

#include <cerrno>
#include <pthread.h>
#include <QSocketNotifier>
#include <sys/signalfd.h>
#include <unistd.h>

namespace quorvex::deck {

StopSignals::StopSignals(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent) {
    sigemptyset(&watched);
    for (const int number : signalNumbers) {
        sigaddset(&watched, number);
    }
    pthread_sigmask(SIG_BLOCK, &watched, &previous);
    fd = FileDescriptor(signalfd(-1, &watched, SFD_NONBLOCK | SFD_CLOEXEC));
    if (fd.isValid()) {
        notifier = new QSocketNotifier(fd.get(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &StopSignals::readSignals);
    }
}

StopSignals::~StopSignals() {
    if (notifier != nullptr) {
        notifier->setEnabled(false);
    }
    // A signal still pending when the mask is lifted would be delivered at once, with its default action.
    while (fd.isValid()) {
        signalfd_siginfo info{};
        if (::read(fd.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
            break;
        }
    }
    fd.reset();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void StopSignals::readSignals() {
    while (fd.isValid()) {
        signalfd_siginfo info{};
        const ssize_t got = ::read(fd.get(), &info, sizeof info);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got != static_cast<ssize_t>(sizeof info)) {
            return;
        }
        emit signalReceived(static_cast<int>(info.ssi_signo));
    }
}

} // namespace quorvex::deck
