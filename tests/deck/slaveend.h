#pragma once

#include "deck/filedescriptor.h"

#include <chrono>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace quorvex::deck::testing {

// The program's end of the cable: the slave device, opened raw as a serial port would be. Every wait
// keeps Qt's event loop running, because the deck under test lives in the same thread.
class SlaveEnd {
public:
    explicit SlaveEnd(const QString& devicePath);

    [[nodiscard]] bool isOpen() const { return fd.isValid(); }
    void write(QByteArrayView bytes);
    void close() { fd.reset(); }

    // Until `count` bytes have arrived or the time is up.
    [[nodiscard]] QByteArray read(qsizetype count, std::chrono::milliseconds within);
    // The same, keeping each read's bytes apart.
    [[nodiscard]] std::vector<QByteArray> readArrivals(qsizetype count, std::chrono::milliseconds within);
    // True once the line has gone dead under us (the master hung up).
    [[nodiscard]] bool waitForHangUp(std::chrono::milliseconds within);

private:
    FileDescriptor fd;
};

} // namespace quorvex::deck::testing
