#pragma once

#include <chrono>
#include <QByteArray>
#include <QString>

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
    // Bytes that arrive within the time, however many.
    QByteArray drain(std::chrono::milliseconds within);
    // Sends bytes to the program, all in one write. Returns false if they could not all be written.
    bool write(const QByteArray& bytes);
    // Unplugs the cable: the program's end of the line goes dead.
    void hangUp();

private:
    int master = -1;
    QString path;
};

} // namespace quorvex::testing
