// The virtual recorder's frame parser on any bytes in any chunks: nothing is lost or invented (what it
// hands out plus what it keeps is what came in), it keeps less than one frame, commands are 7 bytes and
// titles 23, each from 0x81 to 0xFF, and the frames found do not depend on how the bytes were split.
#include "deck/controla1/frameparser.h"
#include "fuzzcheck.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <QByteArrayList>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    quorvex::deck::FrameParser parser;
    QByteArray sent;
    QByteArray handedOut;
    QByteArrayList frames; // every frame's bytes, in order
    while (input.remaining_bytes() > 0) {
        const std::string chunk = input.ConsumeRandomLengthString(64);
        sent.append(chunk.data(), static_cast<qsizetype>(chunk.size()));
        for (const quorvex::deck::Received& received :
             parser.feed(QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size())))) {
            FUZZ_CHECK(!received.bytes.isEmpty());
            handedOut.append(received.bytes);
            if (std::holds_alternative<quorvex::deck::Noise>(received.meaning)) {
                continue;
            }
            const qsizetype length = std::holds_alternative<quorvex::deck::Title>(received.meaning) ? 23 : 7;
            FUZZ_CHECK(received.bytes.size() == length);
            frames.append(received.bytes);
            FUZZ_CHECK(static_cast<std::uint8_t>(received.bytes.front()) == 0x81);
            FUZZ_CHECK(static_cast<std::uint8_t>(received.bytes.back()) == 0xFF);
            if (const auto* title = std::get_if<quorvex::deck::Title>(&received.meaning)) {
                FUZZ_CHECK(title->track >= 0 && title->track <= 255);
                FUZZ_CHECK(title->text.size() <= 14);
            }
        }
        FUZZ_CHECK(parser.pendingSize() < 23);
        FUZZ_CHECK(sent.size() == handedOut.size() + parser.pendingSize());
        FUZZ_CHECK(sent.startsWith(handedOut));
    }

    quorvex::deck::FrameParser whole;
    QByteArrayList framesAtOnce;
    for (const quorvex::deck::Received& received : whole.feed(sent)) {
        if (!std::holds_alternative<quorvex::deck::Noise>(received.meaning)) {
            framesAtOnce.append(received.bytes);
        }
    }
    FUZZ_CHECK(frames == framesAtOnce);
    return 0;
}
