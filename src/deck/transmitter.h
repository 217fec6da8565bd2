#pragma once

#include "deck/delivery.h"

#include <chrono>
#include <deque>
#include <functional>
#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QTimer>
#include <vector>

namespace quorvex::deck {

// Cuts bytes into `count` pieces of nearly equal size, the longer ones first. There are never more
// pieces than bytes, and never fewer than one.
[[nodiscard]] std::vector<QByteArray> piecesOf(QByteArrayView bytes, int count);

// Puts answers on the line the way their delivery says: late, in pieces with gaps, with noise in front or
// right behind. Answers leave strictly one after another: the pieces of two answers never interleave, however
// close together the commands came.
class Transmitter final : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    using Write = std::function<void(QByteArrayView)>;

    explicit Transmitter(Write write, QObject* parent = nullptr);

    // `written` is called once the answer's last piece is on the line; never if it is cleared first.
    void send(const QByteArray& answer, const Delivery& delivery, std::function<void()> written = {});
    // Forgets every piece not yet written.
    void clear();
    [[nodiscard]] bool isIdle() const { return queue.empty(); }

private:
    struct Piece {
        Clock::time_point due;
        QByteArray bytes;
        std::function<void()> written; // the last piece of an answer carries its caller's note
    };

    void writeDue();

    Write write;
    std::deque<Piece> queue;
    QTimer timer;
};

} // namespace quorvex::deck
