// The MDS-E deck's firmware in virtual time: scripts of commands (data bytes, written by hand) at chosen
// milliseconds, each with the reports expected back, in order. A step without a command lets time pass.
#include "deck/mdse/commands.h"
#include "deck/mdse/firmware.h"
#include "mdsefixture.h"

#include <span>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;
using mdse::Firmware;
using Reports = std::vector<std::string>;

struct Step {
    int at = 0;         // milliseconds
    QByteArray command; // data bytes; empty: time passes only
    Reports reports;
};

struct Script {
    const char* what;
    mdse::Disc disc;
    mdse::Settings settings;
    mdse::Faults faults;
    std::vector<Step> steps;
};

const std::string remoteOnStatus = status("00 A0 03 01");
const Step remoteOn{0, hex("10 03"), {"10 03", remoteOnStatus}};

// A name write's data: the command bytes, the name, and the 00 that ends it.
QByteArray named(const char* prefix, const char* name) {
    return hex(prefix) + QByteArray(name) + QByteArray(1, '\0');
}

void run(const Script& script) {
    const Firmware::Clock::time_point start{};
    Firmware firmware(script.disc, script.settings, script.faults, start);
    for (const Step& step : script.steps) {
        const auto at = start + std::chrono::milliseconds{step.at};
        std::vector<QByteArray> reports = firmware.advance(at);
        if (!step.command.isEmpty()) {
            const std::vector<QByteArray> answers = firmware.obey(step.command, at);
            reports.insert(reports.end(), answers.begin(), answers.end());
        }
        EXPECT_EQ(hexOf(reports), step.reports)
            << script.what << ", at " << step.at << " ms: " << mdse::commandName(step.command).toStdString();
    }
}

// Remote mode is off at first and only REMOTE MODE On gets through; taking over stops the deck, even a
// recording made meanwhile in local mode. The E12 knows no POWER; the E11 and E52 go from standby to on,
// reading the TOC first, and a POWER Off during that read waits for its end. Unknown data, and known bytes
// of the wrong length, are an UNDEFINED COMMAND.
TEST(MdseFirmware, RemoteModeGuardsEveryCommandAndPowerFollowsTheModel) {
    const mdse::Settings e11{.model = mdse::Model::e11, .startInStandby = true};
    const mdse::Settings e52{.model = mdse::Model::e52, .echoUnchanged = true};
    const Script scripts[] = {
        {"E12 in remote mode and out of it",
         twoTracks(),
         {},
         {},
         {{0, hex("20 20"), {"40 03"}},
          {0, hex("0A 04 01"), {"40 03"}},
          {0, hex("10 04"), {"40 03"}},
          remoteOn,
          {0, hex("10 03"), {}},
          {0, hex("01 02"), {"40 01"}},
          {0, hex("0A 04 01"), {"40 01"}},
          {0, hex("20 44"), {"40 01"}},
          {0, hex("20 20 00"), {"40 01"}},
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {200, hex("02 01"), {"02 21", status("04 A0 03 03")}},
          {300, hex("10 04"), {"10 04"}},
          {400, hex("20 20"), {"40 03"}},
          {2000, hex("10 03"), {"10 03", remoteOnStatus}},
          {2299, {}, {}},
          {2300, {}, {"20 60 01 01 03 03 1F 00"}}}},
        {"E11 from standby",
         twoTracks(),
         e11,
         {},
         {{0, hex("10 03"), {"10 03", status("10 00 03 01")}},
          {0, hex("02 01"), {"40 03"}},
          {0, hex("20 44 01"), {"20 89"}},
          {0, hex("20 22"), {"20 22 " + padded("MDS-E11", 14)}},
          {0, hex("01 03"), {}},
          {0, hex("01 02"), {"01 02"}},
          {500, hex("20 20"), {status("00 00 03 01")}},
          {500, hex("01 02"), {}},
          {1000, {}, {remoteOnStatus}},
          {1000, hex("01 03"), {"01 03", status("10 00 03 01")}},
          {2000, hex("01 02"), {"01 02"}},
          {2100, hex("01 03"), {"01 03"}},
          {3000, {}, {status("10 00 03 01")}}}},
        {"E52 answering what changes nothing, switched off while recording",
         twoTracks(),
         e52,
         {},
         {remoteOn,
          {0, hex("10 03"), {"10 03"}},
          {0, hex("01 02"), {"01 02"}},
          {0, hex("20 22"), {"20 22 " + padded("MDS-E52", 14)}},
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {200, hex("02 01"), {"02 21", status("04 A0 03 03")}},
          {1200, hex("01 03"), {"01 03", status("10 00 03 01")}},
          {2000, hex("01 02"), {"01 02"}},
          {3000, {}, {remoteOnStatus}},
          {3000, hex("20 44 01"), {"20 60 01 01 03 03 1F 00"}}}},
    };
    for (const Script& script : std::span(scripts)) {
        run(script);
    }
}

// Playback keys, then a recording: record-pause with the input locking 200 ms after REC, PLAY and PAUSE
// start a track after the last, REC while recording starts the next, pausing ends one, STOP ends the
// recording and the TOC DATA follows 300 ms later. Times on the disc are whole seconds, rounded down.
TEST(MdseFirmware, TransportPlaysAndRecordsTracksThroughRecordPause) {
    mdse::Disc protectedDisc = twoTracks();
    protectedDisc.writeProtected = true;
    const Script scripts[] = {
        {"playback",
         twoTracks(),
         {},
         {},
         {remoteOn,
          {0, hex("02 01"), {"02 01", status("01 A0 03 01")}},
          {0, hex("02 16"), {"20 83"}},
          {0, hex("02 16"), {}},
          {0, hex("20 20"), {status("01 A0 03 02")}},
          {0, hex("02 15"), {"20 83"}},
          {0, hex("02 15"), {}},
          {0, hex("02 06"), {"02 03", status("02 A0 03 01")}},
          {0, hex("02 06"), {"02 03"}},
          {0, hex("02 03"), {"02 01", status("01 A0 03 01")}},
          {0, hex("02 01"), {"02 01"}},
          {0, hex("02 21"), {"40 03"}},
          {0, hex("20 54 01"), {"40 03"}},
          {0, hex("02 02"), {"02 02", remoteOnStatus}},
          {0, hex("02 03"), {"02 03", status("02 A0 03 01")}},
          {0, hex("20 72 01 41 00"), {"40 03"}},
          {0, hex("02 02"), {"02 02", remoteOnStatus}},
          {0, hex("02 02"), {"02 02"}},
          {1000, {}, {}}}},
        {"recording",
         twoTracks(),
         {},
         {},
         {remoteOn,
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {199, hex("20 20"), {status("05 A0 23 03")}},
          {200, hex("20 20"), {status("05 A0 03 03")}},
          {200, hex("02 21"), {"40 03"}},
          {1000, hex("02 01"), {"02 21", status("04 A0 03 03")}},
          {3500, hex("02 21"), {"02 21"}},
          {3600, hex("20 20"), {status("04 A0 03 04")}},
          {3600, hex("20 44 01"), {"20 60 01 01 03 03 20 00"}},
          {3600, hex("20 48 01"), {"40 03"}},
          {3600, hex("02 15"), {"40 03"}},
          {3600, hex("02 01"), {"40 03"}},
          {6000, hex("02 03"), {"02 22", status("05 A0 03 04")}},
          {7000, hex("02 03"), {"02 21", status("04 A0 03 05")}},
          {9000, hex("02 02"), {"02 02", remoteOnStatus}},
          {9299, {}, {}},
          {9300, hex("20 45 01 03"), {"20 60 01 01 05 03 25 00", "20 62 01 00 00 02"}},
          {9300, hex("20 45 01 05"), {"20 62 01 00 00 02"}},
          {9300, hex("20 54 01"), {"20 54 01 46 17"}}}},
        {"a disc without tracks",
         {},
         {},
         {},
         {{0, hex("10 03"), {"10 03", status("00 A0 03 00")}},
          {0, hex("02 01"), {"40 03"}},
          {0, hex("02 16"), {"40 03"}},
          {0, hex("20 44 01"), {"20 60 01 00 00 00 00 00"}}}},
        {"no disc",
         twoTracks(),
         {.startWithoutDisc = true},
         {},
         {{0, hex("10 03"), {"10 03", status("20 00 03 00")}},
          {0, hex("20 44 01"), {"20 89"}},
          {0, hex("20 21"), {"40 03"}},
          {0, hex("20 45 01 01"), {"40 03"}},
          {0, hex("02 21"), {"40 03"}}}},
        {"a record-protected disc",
         protectedDisc,
         {},
         {},
         {{0, hex("10 03"), {"10 03", status("00 80 03 01")}},
          {0, hex("20 21"), {"20 21 00 05 00 00 00"}},
          {0, hex("02 21"), {"40 03"}}}},
    };
    for (const Script& script : std::span(scripts)) {
        run(script);
    }
}

// In stop the deck tells what its disc holds: model, disc data, TOC, a track's time, the names in 16-byte
// packets (or that there is none), the recordable time and the room for a name.
TEST(MdseFirmware, RequestsInStopTellWhatTheDiscHolds) {
    run({"requests",
         twoTracks(),
         {},
         {},
         {remoteOn,
          {0, hex("20 22"), {"20 22 " + padded("MDS-E12", 14)}},
          {0, hex("20 21"), {"20 21 00 01 00 00 00"}},
          {0, hex("20 44 01"), {"20 60 01 01 02 03 1E 00"}},
          {0, hex("20 45 01 02"), {"20 62 01 00 02 1E"}},
          {0, hex("20 45 01 03"), {"40 03"}},
          {0, hex("20 48 01"), {"20 48 01 " + padded("Mix")}},
          {0, hex("20 4A 01"), {"20 4A 01 " + padded("One")}},
          {0, hex("20 4A 02"), {"20 86"}},
          {0, hex("20 4A 03"), {"40 03"}},
          {0, hex("20 55 00 00"), {"20 55 00 00 06 F6"}},
          {0, hex("20 55 00 02"), {"20 55 00 02 06 F3"}},
          {0, hex("20 55 00 03"), {"40 03"}},
          {0, hex("20 54 01"), {"20 54 01 46 1E"}}}});
}

// Names go in packets of at most 16 bytes, each acknowledged; the first 00 ends a name, and a name of whole
// packets ends with a packet of sixteen 00 (a single 00 only where allowed). A wrong packet number, a
// continuation with nothing begun, a track the disc lacks or a name beyond its room are IMPOSSIBLE, and
// what was begun is dropped. An empty name takes a name away. Without DISC NAME WRITE's later packets,
// 20 71 is undefined.
TEST(MdseFirmware, NamesArriveInAcknowledgedPacketsAndEndAtTheirFirstZero) {
    const QByteArray sixteen("ABCDEFGHIJKLMNOP");
    mdse::Disc tight = twoTracks();
    tight.nameCapacity = 20;
    const Script scripts[] = {
        {"strict",
         twoTracks(),
         {},
         {},
         {remoteOn,
          {0, hex("20 72 02") + sixteen, {"20 87"}},
          {0, hex("20 73 02") + QByteArray(16, '\0'), {"20 87"}},
          {0, hex("20 4A 02"), {"20 4A 02 " + hexOf(sixteen), "20 4B 02 " + padded("")}},
          {0, hex("20 72 01") + sixteen, {"20 87"}},
          {0, hex("20 73 02 00"), {"40 03"}},
          {0, hex("20 73 02 41 00"), {"40 03"}},
          {0, hex("20 72 01") + sixteen, {"20 87"}},
          {0, hex("20 73 03 41 00"), {"40 03"}},
          {0, hex("20 4A 01"), {"20 4A 01 " + padded("One")}},
          {0, hex("20 72 01") + sixteen + "Q", {"40 01"}},
          {0, hex("20 70 02 41 00"), {"40 03"}},
          {0, named("20 70 01", "Side A"), {"20 87"}},
          {0, hex("20 48 01"), {"20 48 01 " + padded("Side A")}},
          {0, hex("20 72 03 41 00"), {"40 03"}},
          {0, hex("20 72 01 00"), {"20 87"}},
          {0, hex("20 4A 01"), {"20 86"}},
          {0, hex("20 55 00 00"), {"20 55 00 00 06 E9"}}}},
        {"no room",
         tight,
         {},
         {},
         {remoteOn,
          {0, hex("20 72 01") + sixteen, {"20 87"}},
          {0, hex("20 73 02 42 42 00"), {"40 03"}},
          {0, hex("20 4A 01"), {"20 4A 01 " + padded("One")}}}},
        {"lenient",
         twoTracks(),
         {.singleZeroEndsName = true, .discNameContinuation = false},
         {},
         {remoteOn,
          {0, hex("20 70 01") + sixteen, {"20 87"}},
          {0, hex("20 71 02 00"), {"40 01"}},
          {0, hex("20 72 01") + sixteen, {"20 87"}},
          {0, hex("20 73 02 00"), {"20 87"}},
          {0, hex("20 4A 01"), {"20 4A 01 " + hexOf(sixteen), "20 4B 02 " + padded("")}}}},
    };
    for (const Script& script : std::span(scripts)) {
        run(script);
    }
}

// The faults the firmware carries out: REC refused; an input that never locks (recording goes on); a disc
// full after so much recording, or truly full, on which the deck stops of its own accord with a STATUS and a
// TOC DATA but no STOP; and for the read-back: a track lost, every track short by a second, a name with a
// character changed, and requests that read the disc going unanswered once recording has begun.
TEST(MdseFirmware, FaultsChangeWhatTheDeckDoesAndWhatItsDiscHolds) {
    mdse::Disc nearlyFull = twoTracks();
    nearlyFull.capacity = 211s;
    const Script scripts[] = {
        {"REC refused", twoTracks(), {}, {.refuseRec = true}, {remoteOn, {0, hex("02 21"), {"40 03"}}}},
        {"never locked",
         twoTracks(),
         {},
         {.inputNeverLocks = true},
         {{0, hex("10 03"), {"10 03", status("00 A0 23 01")}},
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {1000, hex("02 01"), {"02 21", status("04 A0 23 03")}}}},
        {"full after two seconds",
         twoTracks(),
         {},
         {.fullAfterSeconds = 2},
         {remoteOn,
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {500, hex("02 01"), {"02 21", status("04 A0 03 03")}},
          {2499, {}, {}},
          {2500, {}, {remoteOnStatus}},
          {2800, hex("02 21"), {"20 60 01 01 03 03 20 00", "40 03"}}}},
        {"truly full",
         nearlyFull,
         {},
         {},
         {remoteOn,
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {0, hex("02 01"), {"02 21", status("04 A0 23 03")}},
          {1000, hex("20 54 01"), {remoteOnStatus, "20 54 01 00 00"}},
          {1000, hex("02 21"), {"40 03"}}}},
        {"lost and short tracks",
         twoTracks(),
         {},
         {.readBack = {.dropTrack = 2, .shortBySeconds = 1}},
         {remoteOn,
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {0, hex("02 01"), {"02 21", status("04 A0 23 03")}},
          {3500, hex("02 21"), {"02 21"}},
          {5000, hex("02 21"), {"02 21"}},
          {7000, hex("02 02"), {"02 02", remoteOnStatus}},
          {7300, hex("20 45 01 03"), {"20 60 01 01 04 03 21 00", "20 62 01 00 00 02"}},
          {7300, hex("20 45 01 04"), {"20 62 01 00 00 01"}}}},
        {"a name changed",
         twoTracks(),
         {},
         {.readBack = {.garbleName = 2}},
         {remoteOn,
          {0, named("20 72 01", "Hi"), {"20 87"}},
          {0, named("20 70 01", "Side X"), {"20 87"}},
          {0, hex("20 4A 01"), {"20 4A 01 " + padded("Hi")}},
          {0, hex("20 48 01"), {"20 48 01 " + padded("Side Y")}}}},
        {"no read-back",
         twoTracks(),
         {},
         {.readBack = {.unansweredAfterRecording = true}},
         {remoteOn,
          {0, hex("02 21"), {"02 22", status("05 A0 23 03")}},
          {0, hex("20 44 01"), {"20 60 01 01 02 03 1E 00"}},
          {0, hex("02 01"), {"02 21", status("04 A0 23 03")}},
          {0, hex("20 44 01"), {}},
          {0, hex("20 45 01 01"), {}},
          {1000, hex("02 02"), {"02 02", remoteOnStatus}},
          {1300, hex("20 4A 01"), {"20 60 01 01 03 03 1F 00"}},
          {1300, hex("20 48 01"), {}},
          {1300, hex("20 54 01"), {"20 54 01 46 1D"}}}},
    };
    for (const Script& script : std::span(scripts)) {
        run(script);
    }
}

} // namespace
} // namespace quorvex::deck::testing
