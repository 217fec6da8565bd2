// The names an MDS-E deck keeps: written in packets of 16 characters, each confirmed by the deck, while it is
// stopped.
#include "link/mdse/mdserecorder.h"
#include "link/mdse/namebytes.h"
#include "link/mdse/packets.h"

#include <algorithm>

namespace quorvex {

using mdse::Report;

namespace {

constexpr std::int16_t packetTicks = 20; // 2 s for each packet's WRITE PACKET RECEIVED

} // namespace

QString MdseRecorder::titleAsSent(const QString& title) const {
    return mdse::nameOfBytes(mdse::deckNameBytes(title));
}

bool MdseRecorder::writeNameOnce(int track, const QByteArray& bytes, bool& refusedContinuation) {
    for (const QByteArray& packet : mdse::nameWritePackets(track, bytes)) {
        const std::optional<Report> answer = request(
            packet,
            [](const Report& report) {
                return report.kind == Report::Kind::writePacketReceived ||
                       report.kind == Report::Kind::impossible ||
                       report.kind == Report::Kind::undefinedCommand;
            },
            packetTicks);
        if (!answer) {
            return false;
        }
        if (answer->kind != Report::Kind::writePacketReceived) {
            // The disc name's continuation code is the one byte of the name packets the manual does not
            // print.
            refusedContinuation = track == 0 && packet.at(1) == '\x71';
            return false;
        }
    }
    return true;
}

bool MdseRecorder::writeName(int track, const QString& name) {
    const QByteArray bytes = mdse::deckNameBytes(name);
    bool refusedContinuation = false;
    if (writeNameOnce(track, bytes, refusedContinuation)) {
        return true;
    }
    if (refusedContinuation) {
        // What one packet holds with its end mark.
        constexpr qsizetype onePacket = mdse::nameBytesPerPacket - 1;
        if (!std::exchange(disc16Told, true)) {
            emit told(
                QStringLiteral("The recorder took only the first %1 characters of the disc name: it does not "
                               "take a disc name's second packet.")
                    .arg(onePacket));
        }
        return writeNameOnce(track, bytes.left(onePacket), refusedContinuation);
    }
    // A packet not confirmed: the whole name once more, from its first packet.
    return writeNameOnce(track, bytes, refusedContinuation);
}

std::vector<std::int16_t> MdseRecorder::writeWaitingNames(int lastTrack, int newTracks) {
    std::vector<Waiting> names = std::exchange(waitingNames, {});
    std::ranges::sort(names, {}, &Waiting::number);
    std::vector<std::int16_t> unnamed;
    // The run's tracks are the deck's newest, in order.
    const int firstNew = lastTrack - newTracks + 1;
    for (std::size_t index = 0; index < names.size(); ++index) {
        const int track = firstNew + static_cast<int>(index);
        if (track > lastTrack || !writeName(track, names[index].title)) {
            unnamed.push_back(names[index].number);
        }
    }
    return unnamed;
}

} // namespace quorvex
