#include "support/pseudoterminal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quorvex::testing {

using Clock = std::chrono::steady_clock;

PseudoTerminal::PseudoTerminal() : master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    if (master < 0) {
        return;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        hangUp();
        return;
    }
    std::array<char, 128> name{};
    if (ptsname_r(master, name.data(), name.size()) != 0) {
        hangUp();
        return;
    }
    path = QString::fromLocal8Bit(name.data());
    // Raw on the master side too, so frame bytes such as 0x0D or 0x11 arrive untouched.
    termios settings{};
    if (tcgetattr(master, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(master, TCSANOW, &settings);
    }
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
}

QByteArray PseudoTerminal::read(qsizetype count, std::chrono::milliseconds within) {
    QByteArray received;
    const auto deadline = Clock::now() + within;
    while (master >= 0 && received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd watch{.fd = master, .events = POLLIN, .revents = 0};
        if (poll(&watch, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        std::array<char, 256> buffer{};
        const ssize_t got = ::read(master, buffer.data(), buffer.size());
        if (got > 0) {
            received.append(buffer.data(), got);
        } else if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            // The slave side is closed and nothing more can come: wait out the time without spinning.
            ::usleep(static_cast<useconds_t>(std::min<long>(left.count(), 10) * 1000));
        }
    }
    return received;
}

std::optional<termios> PseudoTerminal::lineSettings() const {
    termios settings{};
    return master >= 0 && tcgetattr(master, &settings) == 0 ? std::optional(settings) : std::nullopt;
}

bool PseudoTerminal::setLineSettings(const termios& settings) {
    return master >= 0 && tcsetattr(master, TCSANOW, &settings) == 0;
}

bool PseudoTerminal::write(const QByteArray& bytes) {
    return master >= 0 &&
           ::write(master, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
}

void PseudoTerminal::hangUp() {
    if (master >= 0) {
        ::close(master);
        master = -1;
    }
}

} // namespace quorvex::testing
