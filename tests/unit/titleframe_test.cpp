#include "link/commandframe.h"
#include "link/titleframe.h"
#include "platform/bytes.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <vector>

namespace quorvex {
namespace {

TEST(CommandFrame, PairBytesCoverTheWholeByteRange) {
    // The pair travels as bytes 0..255; values above 127 must not be cut or sign-extended.
    const CommandFrame frame = commandFrame(255, 128);
    EXPECT_EQ(frame[4], 0xFF);
    EXPECT_EQ(frame[5], 0x80);
    EXPECT_EQ(frame[1], frame.size()) << "the second byte carries the frame's own length";
}

TEST(TitleFrame, NamesBecomeTheFourteenByteFieldOfA23ByteFrame) {
    struct TitleCase {
        QString name;
        std::int16_t track;
        const char* hex;
    };
    const std::vector<TitleCase> cases{
        {"Mix", 0, "81 17 07 B0 9A 00 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"  My Mix  ", 0, "81 17 07 B0 9A 00 00 00 4D 79 20 4D 69 78 00 00 00 00 00 00 00 00 FF"},
        {"Summer Holiday Mix 2003", 0,
         "81 17 07 B0 9A 00 00 00 53 75 6D 6D 65 72 20 48 6F 6C 69 64 61 79 FF"},
        {QString(100'000, QLatin1Char('x')), 1,
         "81 17 07 B0 9A 01 00 00 78 78 78 78 78 78 78 78 78 78 78 78 78 78 FF"},
        {"", 0, "81 17 07 B0 9A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"      ", 0, "81 17 07 B0 9A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 3, "81 17 07 B0 9A 03 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 255, "81 17 07 B0 9A FF 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"Mix", 256, "none"},
        {"Mix", -1, "none"},
        // Only spaces are trimmed; a tab stays part of the name.
        {"\tA ", 1, "81 17 07 B0 9A 01 00 00 09 41 00 00 00 00 00 00 00 00 00 00 00 00 FF"},
        // Windows-1252: é is E9, € is 80; a character it has no byte for becomes '?', one byte each.
        {QString::fromUtf8("Café €5 日本"), 2,
         "81 17 07 B0 9A 02 00 00 43 61 66 E9 20 80 35 20 3F 3F 00 00 00 00 FF"},
        // A character outside the BMP is one character, so one '?', and the cut still falls after 14.
        {QString::fromUtf8("😀abcdefghijklmnop"), 4,
         "81 17 07 B0 9A 04 00 00 3F 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D FF"},
    };
    for (const auto& row : cases) {
        const std::optional<TitleFrame> frame = titleFrame(row.name, row.track);
        EXPECT_EQ(frame ? toByteArray(*frame).toHex(' ').toUpper().toStdString() : "none", row.hex)
            << row.name.left(20).toStdString() << " / " << row.track;
    }
}

TEST(CodePage, EveryCharacterIsOneByte) {
    EXPECT_EQ(toCodePage(QString::fromUtf8("ÄÖÜßäöü")), QByteArray::fromHex("C4D6DCDFE4F6FC"));
    EXPECT_EQ(toCodePage(QString::fromUtf8("“Ÿ”…")), QByteArray::fromHex("939F9485"));
    EXPECT_EQ(toCodePage(QString(QChar(0x1A))), QByteArray("\x1A")) << "a real SUB character is kept";
    EXPECT_EQ(toCodePage(QString::fromUtf8("Ω→")), QByteArray("??"));
    EXPECT_EQ(toCodePage(QString(QChar(0xD800))), QByteArray("?")) << "a lone surrogate";
}

} // namespace
} // namespace quorvex
