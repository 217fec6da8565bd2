#pragma once

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QString>
#include <termios.h>

namespace quorvex::testing {

// The far end of a serial line: a pseudo-terminal whose device path the program opens as its Com port,
// while the test reads what arrives on the master side.
class PseudoTerminal {
public:
    PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    PseudoTerminal(PseudoTerminal&&) = delete;
    PseudoTerminal& operator=(PseudoTerminal&&) = delete;
    ~PseudoTerminal();

    [[nodiscard]] bool isValid() const { return master >= 0; }
    [[nodiscard]] QString devicePath() const { return path; }

    // Reads until `count` bytes have arrived or the time is up; returns what arrived.
    QByteArray read(qsizetype count, std::chrono::milliseconds within);
    // Sends bytes to the program, all in one write. Returns false if they could not all be written.
    bool write(const QByteArray& bytes);
    // The line's settings (speed, character size, parity, stop bits), which the two ends share.
    [[nodiscard]] std::optional<termios> lineSettings() const;
    bool setLineSettings(const termios& settings);
    // Unplugs the cable: the program's end of the line goes dead.
    void hangUp();

private:
    int master = -1;
    QString path;
};

} // namespace quorvex::testing
