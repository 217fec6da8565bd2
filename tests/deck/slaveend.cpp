#include "slaveend.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <termios.h>
#include <unistd.h>

namespace quorvex::deck::testing {
namespace {

// Waits at most a millisecond for the slave to become readable (or hung up), then lets Qt run.
short waitBriefly(int fd) {
    pollfd watch{.fd = fd, .events = POLLIN, .revents = 0};
    ::poll(&watch, 1, 1);
    QCoreApplication::processEvents();
    return watch.revents;
}

} // namespace

SlaveEnd::SlaveEnd(const QString& devicePath)
    : fd(::open(devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    termios settings{};
    if (fd.isValid() && tcgetattr(fd.get(), &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(fd.get(), TCSANOW, &settings);
    }
}

void SlaveEnd::write(QByteArrayView bytes) {
    qsizetype at = 0;
    while (fd.isValid() && at < bytes.size()) {
        const ssize_t written =
            ::write(fd.get(), bytes.sliced(at).data(), static_cast<size_t>(bytes.size() - at));
        if (written > 0) {
            at += written;
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
    }
    QCoreApplication::processEvents();
}

QByteArray SlaveEnd::read(qsizetype count, std::chrono::milliseconds within) {
    QByteArray received;
    for (const QByteArray& arrival : readArrivals(count, within)) {
        received.append(arrival);
    }
    return received;
}

std::vector<QByteArray> SlaveEnd::readArrivals(qsizetype count, std::chrono::milliseconds within) {
    std::vector<QByteArray> arrivals;
    qsizetype total = 0;
    const QDeadlineTimer deadline(within);
    while (fd.isValid() && total < count && !deadline.hasExpired()) {
        std::array<char, 256> buffer{};
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got > 0) {
            arrivals.emplace_back(buffer.data(), got);
            total += got;
            continue;
        }
        waitBriefly(fd.get());
    }
    return arrivals;
}

bool SlaveEnd::waitForHangUp(std::chrono::milliseconds within) {
    const QDeadlineTimer deadline(within);
    while (fd.isValid() && !deadline.hasExpired()) {
        std::array<char, 256> buffer{};
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got == 0 || (got < 0 && errno == EIO)) {
            return true;
        }
        if ((waitBriefly(fd.get()) & (POLLHUP | POLLERR)) != 0) {
            return true;
        }
    }
    return false;
}

} // namespace quorvex::deck::testing
