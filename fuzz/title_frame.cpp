// The title-frame builder on any text and track number: a frame for tracks 0..255 only, always
// 81 17 07 B0 9A track 00 00, a 14-byte field, FF; the field is the name's characters one byte each
// (leading and trailing spaces gone), then NUL padding.
#include "fuzzcheck.h"
#include "link/controla1/titleframe.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <QString>
#include <QStringEncoder>

namespace {

// The characters of a text, a surrogate pair counting as one.
qsizetype characterCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype at = 0; at < text.size(); ++count) {
        at += (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) ? 2 : 1;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto track = input.ConsumeIntegral<std::int16_t>();
    const std::vector<std::uint8_t> bytesOfName = input.ConsumeRemainingBytes<std::uint8_t>();
    QString name;
    for (std::size_t at = 0; at + 1 < bytesOfName.size(); at += 2) {
        name.append(QChar(static_cast<char16_t>(bytesOfName[at] | (bytesOfName[at + 1] << 8))));
    }

    const std::optional<quorvex::TitleFrame> frame = quorvex::titleFrame(name, track);

    FUZZ_CHECK(frame.has_value() == (track >= 0 && track <= 255));
    if (!frame) {
        return 0;
    }
    const quorvex::TitleFrame& bytes = *frame;
    FUZZ_CHECK(bytes.size() == 23);
    FUZZ_CHECK(bytes[0] == 0x81 && bytes[1] == 0x17 && bytes[2] == 0x07 && bytes[3] == 0xB0 &&
               bytes[4] == 0x9A);
    FUZZ_CHECK(bytes[5] == static_cast<std::uint8_t>(track) && bytes[6] == 0 && bytes[7] == 0);
    FUZZ_CHECK(bytes[22] == 0xFF);

    QStringView trimmed(name);
    while (trimmed.startsWith(QLatin1Char(' '))) {
        trimmed = trimmed.sliced(1);
    }
    while (trimmed.endsWith(QLatin1Char(' '))) {
        trimmed.chop(1);
    }
    const auto used = static_cast<std::size_t>(std::min<qsizetype>(characterCount(trimmed), 14));
    for (std::size_t at = used; at < 14; ++at) {
        FUZZ_CHECK(bytes[8 + at] == 0);
    }
    // Characters Windows-1252 has a byte for keep it; the first one's byte is checked against the codec.
    if (used > 0 && trimmed[0].unicode() < 0x80) {
        FUZZ_CHECK(bytes[8] == trimmed[0].unicode());
    }
    return 0;
}
