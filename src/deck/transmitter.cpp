#include "deck/transmitter.h"

#include <algorithm>
#include <utility>

namespace quorvex::deck {

std::vector<QByteArray> piecesOf(QByteArrayView bytes, int count) {
    const qsizetype pieces = std::clamp<qsizetype>(count, 1, std::max<qsizetype>(bytes.size(), 1));
    const qsizetype base = bytes.size() / pieces;
    const qsizetype longer = bytes.size() % pieces;
    std::vector<QByteArray> result;
    result.reserve(static_cast<std::size_t>(pieces));
    qsizetype at = 0;
    for (qsizetype piece = 0; piece < pieces; ++piece) {
        const qsizetype size = base + (piece < longer ? 1 : 0);
        result.push_back(bytes.sliced(at, size).toByteArray());
        at += size;
    }
    return result;
}

Transmitter::Transmitter(Write write, QObject* parent) : QObject(parent), write(std::move(write)) {
    // A coarse timer may fire a little early, and a late answer must never come before its time.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &Transmitter::writeDue);
}

void Transmitter::send(const QByteArray& answer, const Delivery& delivery, std::function<void()> written) {
    std::vector<QByteArray> pieces = piecesOf(answer, delivery.splitInto);
    pieces.front().prepend(delivery.noiseBefore);
    pieces.back().append(delivery.noiseAfter);

    Clock::time_point due = Clock::now() + delivery.lateBy;
    if (!queue.empty()) {
        due = std::max(due, queue.back().due);
    }
    for (QByteArray& piece : pieces) {
        queue.push_back({due, std::move(piece), {}});
        due += delivery.splitGap;
    }
    queue.back().written = std::move(written);
    writeDue();
}

void Transmitter::clear() {
    timer.stop();
    queue.clear();
}

void Transmitter::writeDue() {
    while (!queue.empty() && queue.front().due <= Clock::now()) {
        Piece piece = std::move(queue.front());
        queue.pop_front();
        write(piece.bytes);
        if (piece.written) {
            piece.written();
        }
    }
    if (!queue.empty()) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(queue.front().due - Clock::now());
        timer.start(std::max(wait, std::chrono::milliseconds{0}));
    }
}

} // namespace quorvex::deck
