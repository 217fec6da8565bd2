#include "deck/controla1/frameparser.h"

#include "deck/controla1/frameformat.h"

#include <QStringDecoder>

namespace quorvex::deck {
namespace {

std::uint8_t byteAt(QByteArrayView bytes, qsizetype at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

Received decode(QByteArrayView frame, Candidate kind) {
    if (kind == Candidate::title) {
        return {frame.toByteArray(),
                Title{byteAt(frame, titleTrackAt), titleText(frame.sliced(titleTextAt, titleTextLength))}};
    }
    return {frame.toByteArray(), Command{byteAt(frame, 4), byteAt(frame, 5)}};
}

} // namespace

QString titleText(QByteArrayView textBytes) {
    const qsizetype end = textBytes.indexOf('\0');
    QStringDecoder windows1252("windows-1252");
    return windows1252(end < 0 ? textBytes : textBytes.first(end));
}

std::vector<Received> FrameParser::feed(QByteArrayView chunk) {
    // Work on a copy so that `pending` keeps only a few bytes' worth of memory, however large the chunk.
    QByteArray work = pending;
    work.append(chunk);
    const QByteArrayView line(work);

    std::vector<Received> received;
    QByteArray noise;
    const auto flushNoise = [&] {
        if (!noise.isEmpty()) {
            received.push_back({noise, Noise{}});
            noise.clear();
        }
    };

    qsizetype at = 0;
    while (at < line.size()) {
        const Candidate candidate = judge(line.sliced(at));
        if (candidate == Candidate::partial) {
            break;
        }
        if (candidate == Candidate::command || candidate == Candidate::title) {
            const qsizetype length = frameLength(candidate);
            flushNoise();
            received.push_back(decode(line.sliced(at, length), candidate));
            at += length;
            continue;
        }
        // Not a frame here: skip to the next 0x81, where one may start.
        qsizetype next = line.indexOf(static_cast<char>(frameStart), at + 1);
        if (next < 0) {
            next = line.size();
        }
        noise.append(line.sliced(at, next - at));
        at = next;
    }
    flushNoise();
    pending = line.sliced(at).toByteArray();
    return received;
}

} // namespace quorvex::deck
