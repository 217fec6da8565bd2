#pragma once

#include <cstdint>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <span>

namespace quorvex {

class LinkTrace;
class SerialPort;

// Frames go out through here. A closed line swallows them without a word, as the recorder buttons expect;
// a line that breaks while open (a USB adapter pulled out) is closed at once and reported once, so that
// every later frame is dropped quietly instead of failing again and again. With a trace, every frame that
// goes out and every one that the recorder's side read in is written there with its name.
class RecorderLine final : public QObject {
    Q_OBJECT
public:
    explicit RecorderLine(SerialPort& port, QObject* parent = nullptr);

    void send(std::span<const std::uint8_t> frame, const QString& name);
    void traceReceived(QByteArrayView frame, const QString& name);
    void setTrace(LinkTrace* to) { trace = to; }

signals:
    void lost(const QString& reason);

private:
    SerialPort& port;
    LinkTrace* trace = nullptr;
};

} // namespace quorvex
