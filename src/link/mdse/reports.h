#pragma once

#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// What an MDS-E deck sends: packets framed by 6F and their own length (FF, 6F and 7E all occur inside data,
// so an end byte alone frames nothing), and what each one says.
namespace quorvex::mdse {

// Takes the deck's bytes in whatever pieces they come and gives the data of each whole, well-formed packet
// (6F, a length 05 to 20, 05 47, the end byte where the length puts it). Anything else is passed over a
// byte at a time, looking for the next 6F. It keeps at most one packet's start between calls.
class PacketReader final {
public:
    [[nodiscard]] std::vector<QByteArray> take(QByteArrayView bytes);

private:
    QByteArray pending;
};

// The deck's state from a STATUS report (20 20 d1 d2 d3 x4 x5).
struct DeckStatus {
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint8_t data3 = 0;

    enum class Mode { stop, play, pause, open, recording, recordPause, rehearsal, other };
    [[nodiscard]] Mode mode() const;
    [[nodiscard]] bool noDisc() const { return (data1 & 0x20) != 0; }
    [[nodiscard]] bool standby() const { return (data1 & 0x10) != 0; }
    // The digital input locked onto a signal (Data3 bit 5 is 0; the reading the maker's supplement gives).
    [[nodiscard]] bool inputLocked() const { return (data3 & 0x20) == 0; }
};

// One report, read.
struct Report {
    enum class Kind {
        remoteMode,
        power,
        play,
        stop,
        pause,
        rec,
        status,
        modelName,
        toc,
        noToc,
        trackTime,
        discName,
        trackName,
        noDiscName,
        noTrackName,
        recRemain,
        nameRemain,
        writePacketReceived,
        discExist,
        undefinedCommand,
        impossible,
        other
    };
    Kind kind = Kind::other;
    QByteArray data;
    DeckStatus status; // status
    int first = 0;     // toc: the first and last track
    int last = 0;      // toc
    int minutes = 0;   // toc, trackTime, recRemain
    int seconds = 0;   // toc, trackTime, recRemain
    int number = 0;    // nameRemain: the track asked about; discName, trackName: the packet or track number
    int count = 0;     // nameRemain: characters
    QByteArray nameBytes; // discName, trackName: the 16 name bytes
    QString text;         // modelName
};

[[nodiscard]] Report readReport(QByteArrayView data);

} // namespace quorvex::mdse
