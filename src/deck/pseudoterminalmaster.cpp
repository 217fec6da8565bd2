#include "deck/pseudoterminalmaster.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <QSocketNotifier>
#include <span>
#include <termios.h>
#include <unistd.h>

namespace quorvex::deck {

PseudoTerminalMaster::PseudoTerminalMaster(QObject* parent)
    : QObject(parent), master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    std::array<char, 128> name{};
    if (!master.isValid() || grantpt(master.get()) != 0 || unlockpt(master.get()) != 0 ||
        ptsname_r(master.get(), name.data(), name.size()) != 0) {
        master.reset();
        return;
    }
    // Raw, so that frame bytes such as 0x0D, 0x11 or 0x7F pass untouched and nothing is echoed back.
    termios settings{};
    if (tcgetattr(master.get(), &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(master.get(), TCSANOW, &settings);
    }
    slave = FileDescriptor(::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.isValid()) {
        master.reset();
        return;
    }
    path = QString::fromLocal8Bit(name.data());
    notifier = new QSocketNotifier(master.get(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PseudoTerminalMaster::readAvailable);
}

void PseudoTerminalMaster::write(QByteArrayView bytes) {
    std::span<const char> left(bytes.data(), static_cast<std::size_t>(bytes.size()));
    while (master.isValid() && !left.empty()) {
        const ssize_t written = ::write(master.get(), left.data(), left.size());
        if (written > 0) {
            left = left.subspan(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

void PseudoTerminalMaster::close() {
    if (notifier != nullptr) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
    slave.reset();
    master.reset();
}

void PseudoTerminalMaster::readAvailable() {
    std::array<char, 4096> buffer{};
    // Whoever handles the bytes may close the line, so look again before every read.
    while (master.isValid()) {
        const ssize_t got = ::read(master.get(), buffer.data(), buffer.size());
        if (got > 0) {
            emit bytesReceived(QByteArray(buffer.data(), static_cast<qsizetype>(got)));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else if (got < 0 && errno == EAGAIN) {
            return;
        } else {
            close();
            emit lineBroken();
            return;
        }
    }
}

} // namespace quorvex::deck
