#pragma once

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <QByteArray>
#include <QFile>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// In a child about to run another program: its output goes nowhere (where /dev/null cannot be opened, it
// stays where it was, which only makes the bench noisier).
inline void silenceOutput() {
    const bool silenced = std::freopen("/dev/null", "w", stdout) != nullptr &&
                          std::freopen("/dev/null", "w", stderr) != nullptr;
    static_cast<void>(silenced);
}

// A private X server (Debian's Xvfb) for the lifetime of a bench, so the program's window is shown and
// painted as a user's would be: the offscreen platform skips most of the painting. Xvfb picks a free
// display number itself and writes it to a pipe (-displayfd), so benches of several users never clash.
// The constructor points DISPLAY at it and selects Qt's xcb platform; call it before QApplication.
class XServer {
public:
    XServer() {
        std::array<int, 2> pipeEnds{};
        if (pipe(pipeEnds.data()) != 0) {
            return;
        }
        const int readEnd = pipeEnds[0];
        const int writeEnd = pipeEnds[1];
        child = fork();
        if (child == 0) {
            close(readEnd);
            silenceOutput();
            const std::string displayFd = std::to_string(writeEnd);
            execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        close(writeEnd);
        if (child < 0) {
            close(readEnd);
            return;
        }
        // The server writes its display number and a newline once it accepts clients.
        QByteArray number;
        char digit = 0;
        while (read(readEnd, &digit, 1) == 1 && digit != '\n') {
            number.append(digit);
        }
        close(readEnd);
        if (number.isEmpty()) {
            stop();
            return;
        }
        display = ':' + number;
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    }

    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    XServer(XServer&&) = delete;
    XServer& operator=(XServer&&) = delete;
    ~XServer() { stop(); }

    // Empty when Xvfb could not be started (not installed, or it failed).
    [[nodiscard]] QByteArray displayName() const { return display; }

    // CPU seconds the server has spent so far: what painting the window costs on the server's side.
    [[nodiscard]] double cpuSeconds() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (child <= 0 || !stat.open(QIODevice::ReadOnly)) {
            return 0;
        }
        // utime and stime are the 14th and 15th fields; the 2nd (the command) is in parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        constexpr int utimeAfterCommand = 11;
        const double ticks =
            fields.value(utimeAfterCommand).toDouble() + fields.value(utimeAfterCommand + 1).toDouble();
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    void stop() {
        if (child > 0) {
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
            child = -1;
        }
    }

    pid_t child = -1;
    QByteArray display;
};
