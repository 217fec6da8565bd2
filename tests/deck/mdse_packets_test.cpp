// The MDS-E deck's packets without a line: finding packets among the computer's bytes, however they are cut
// into reads, and the names its log gives every command it knows and every report it sends.
#include "deck/mdse/commands.h"
#include "deck/mdse/packet.h"
#include "deck/mdse/reports.h"
#include "mdsefixture.h"

#include <span>

namespace quorvex::deck::testing {
namespace {

// What the parser made of a stream: each packet's data in order, and every byte skipped as noise.
struct Found {
    std::vector<std::string> data;
    std::string noise;
    bool operator==(const Found&) const = default;
    friend void PrintTo(const Found& found, std::ostream* out) {
        *out << "packets " << ::testing::PrintToString(found.data) << ", noise \"" << found.noise << '"';
    }
};

void take(Found& found, const std::vector<mdse::Received>& received) {
    for (const mdse::Received& item : received) {
        if (item.data) {
            found.data.push_back(hexOf(*item.data));
        } else {
            found.noise += (found.noise.empty() ? "" : " ") + hexOf(item.bytes);
        }
    }
}

// Packets are found by header and length, with FF, 6F and 7E among their data; a header whose length is
// outside 05..20, whose 05 47 are wrong or whose end is no FF is noise, and the search goes on from the byte
// after it, so a packet cut short costs the next one nothing. The stream is fed in two reads, cut anywhere.
TEST(MdsePacketParser, FindsPacketsByHeaderAndLengthAndResynchronisesAfterTheFirstByte) {
    const QByteArray status = commandPacket(hex("20 20"));
    const struct {
        QByteArray stream;
        Found found;
    } cases[] = {
        {commandPacket(hex("20 4A FF")) + commandPacket(hex("20 72 01 6F 7E FF 00")) + commandPacket({}),
         {{"20 4A FF", "20 72 01 6F 7E FF 00", ""}, {}}},
        {hex("00 FF 6F") + status + hex("7E 04 05 47 FF") + status + hex("7E"),
         {{"20 20", "20 20"}, "00 FF 6F 7E 04 05 47 FF"}},
        {hex("7E 21 05 47") + status, {{"20 20"}, "7E 21 05 47"}},
        {hex("7E 07 06 47 20 20 FF") + hex("7E 07 05 48 20 20 FF") + status,
         {{"20 20"}, "7E 07 06 47 20 20 FF 7E 07 05 48 20 20 FF"}},
        {hex("7E 07 05 47 20 20 00") + status, {{"20 20"}, "7E 07 05 47 20 20 00"}},
        {hex("7E 09 05 47 20") + status, {{"20 20"}, "7E 09 05 47 20"}},
        {reportPacket(hex("10 03")) + status, {{"20 20"}, "6F 07 05 47 10 03 FF"}},
    };
    for (const auto& row : std::span(cases)) {
        for (qsizetype cut = 0; cut <= row.stream.size(); ++cut) {
            mdse::PacketParser parser;
            Found found;
            take(found, parser.feed(QByteArrayView(row.stream).first(cut)));
            take(found, parser.feed(QByteArrayView(row.stream).sliced(cut)));
            EXPECT_EQ(found, row.found) << hexOf(row.stream) << ", cut at " << cut;
            EXPECT_EQ(parser.pendingSize(), row.stream.endsWith('\x7E') ? 1 : 0);
        }
    }

    // A packet begun that the line leaves unfinished: given up, its header is noise and what it held is
    // looked at again.
    mdse::PacketParser parser;
    Found found;
    take(found, parser.feed(hex("7E 18 05 47 20 72 01 41") + status));
    EXPECT_EQ(found, Found{});
    take(found, parser.giveUpPending());
    EXPECT_EQ(found, (Found{{"20 20"}, "7E 18 05 47 20 72 01 41"}));
    EXPECT_EQ(parser.pendingSize(), 0);
}

// Every command the deck knows, by its data, with its arguments; the same bytes at another length are
// unknown. Names show ASCII and half-width katakana.
TEST(MdsePackets, CommandsAndReportsHaveTheirNamesInTheLog) {
    const std::pair<const char*, const char*> commands[] = {
        {"10 03", "REMOTE MODE On"},
        {"10 04", "REMOTE MODE Off"},
        {"01 02", "POWER On"},
        {"01 03", "POWER Off"},
        {"02 01", "PLAY"},
        {"02 02", "STOP"},
        {"02 03", "PAUSE ON/OFF"},
        {"02 06", "PAUSE ON"},
        {"02 15", "PREV TRACK"},
        {"02 16", "NEXT TRACK"},
        {"02 21", "REC"},
        {"20 20", "STATUS REQ"},
        {"20 21", "DISC DATA REQ"},
        {"20 22", "MODEL NAME REQ"},
        {"20 44 01", "TOC DATA REQ"},
        {"20 45 01 0C", "TRACK NO. TIME REQ track 12"},
        {"20 48 01", "DISC NAME REQ"},
        {"20 4A FF", "TRACK NO. NAME REQ track 255"},
        {"20 54 01", "REC REMAIN REQ"},
        {"20 55 00 00", "NAME REMAIN REQ track 0"},
        {"20 70 01 53 69 64 65 20 41 00", "DISC NAME WRITE packet 1 \"Side A\""},
        {"20 71 02 42 00 43", "DISC NAME WRITE packet 2 \"B\""},
        {"20 72 02 4D 44 53 2D 45 31 31 D0 C6 C3 DE A8 BD B8 DA BA",
         "TRACK NO. NAME WRITE track 2 \"MDS-E11ﾐﾆﾃﾞｨｽｸﾚｺ\""},
        {"20 73 02 2D C0 DE 2D 00", "TRACK NO. NAME WRITE packet 2 \"-ﾀﾞ-\""},
        {"20 73 03 E0 00", "TRACK NO. NAME WRITE packet 3 \"\xEF\xBF\xBD\""},
        {"20 44", "unknown command 20 44"},
        {"02 21 00", "unknown command 02 21 00"},
        {"20 72 02", "unknown command 20 72 02"},
        {"", "unknown command "},
    };
    for (const auto& [data, name] : std::span(commands)) {
        EXPECT_EQ(mdse::commandName(hex(data)), QString::fromUtf8(name)) << data;
    }

    using namespace std::chrono_literals;
    const std::pair<QByteArray, const char*> reports[] = {
        {mdse::reports::remoteOn, "REMOTE MODE On"},
        {mdse::reports::remoteOff, "REMOTE MODE Off"},
        {mdse::reports::powerOn, "POWER On"},
        {mdse::reports::powerOff, "POWER Off"},
        {mdse::reports::play, "PLAY"},
        {mdse::reports::stop, "STOP"},
        {mdse::reports::pause, "PAUSE"},
        {mdse::reports::rec, "REC"},
        {mdse::reports::recPause, "REC PAUSE"},
        {mdse::reports::discExist, "DISC EXIST"},
        {mdse::reports::trackEnd, "1 TRACK END"},
        {mdse::reports::noDiscName, "NO DISC NAME"},
        {mdse::reports::noTrackName, "NO TRACK NAME"},
        {mdse::reports::writePacketReceived, "WRITE PACKET RECEIVED"},
        {mdse::reports::noTocData, "NO TOC DATA"},
        {mdse::reports::undefinedCommand, "UNDEFINED COMMAND"},
        {mdse::reports::impossible, "IMPOSSIBLE"},
        {hex("20 20 05 A0 23 04 00"), "STATUS rec-pause, track 4, input unlocked"},
        {hex("20 20 30 00 03 00 00"), "STATUS stop, no disc, standby, track 0"},
        {hex("20 20 02 00 03 01 00"), "STATUS play-pause, TOC not read, track 1"},
        {mdse::discDataReport(true), "DISC DATA record-protected"},
        {mdse::modelNameReport("MDS-E52"), "MODEL NAME MDS-E52"},
        {mdse::tocDataReport(4, 12'999ms), "TOC DATA tracks 1-4, 0:12"},
        {mdse::trackTimeReport(5h), "TRACK TIME DATA 255:00"},
        {mdse::recRemainReport(74min + 43s), "REC REMAIN 74:43"},
        {mdse::nameRemainReport(1, 1764), "NAME REMAIN track 1: 1764"},
        {mdse::discNameReports("Side A").front(), "DISC NAME packet 1 \"Side A\""},
        {mdse::trackNameReports(3, "0123456789ABCDEFG").back(), "TRACK NAME packet 2 \"G\""},
        {hex("20 4A 07 41"), "TRACK NAME track 7 \"A\""},
        {hex("20 99"), "report 20 99"},
    };
    for (const auto& [data, name] : std::span(reports)) {
        EXPECT_EQ(mdse::reportName(data), QString::fromUtf8(name)) << hexOf(data);
    }
    EXPECT_EQ(hexOf(mdse::reportPacket(mdse::reports::remoteOn)), "6F 07 05 47 10 03 FF");
}

} // namespace
} // namespace quorvex::deck::testing
