// What an MDS-E deck reads back after a run: its table of contents, then each track's time and name, one
// request at a time.
#include "link/mdse/mdserecorder.h"
#include "link/mdse/namebytes.h"
#include "link/mdse/packets.h"

namespace quorvex {

using mdse::Report;
namespace command = mdse::command;

namespace {

constexpr std::int16_t answerTicks = 10; // 1 s for each request
constexpr int secondsPerMinute = 60;

bool isOneOf(const Report& report, std::initializer_list<Report::Kind> kinds) {
    return std::find(kinds.begin(), kinds.end(), report.kind) != kinds.end();
}

} // namespace

std::optional<QString> MdseRecorder::readName(int track) {
    const Report::Kind named = track == 0 ? Report::Kind::discName : Report::Kind::trackName;
    const Report::Kind none = track == 0 ? Report::Kind::noDiscName : Report::Kind::noTrackName;
    // The name comes in packets of 16 bytes until one holds its end (a 00).
    const std::uint64_t from = taken();
    send(track == 0 ? command::discNameRequest : command::trackNameRequest(track));
    const std::optional<Report> last = awaitReport(
        from,
        [named, none](const Report& report) {
            return isOneOf(report, {none, Report::Kind::impossible, Report::Kind::undefinedCommand}) ||
                   (report.kind == named && report.nameBytes.contains('\0'));
        },
        answerTicks);
    if (!last) {
        return std::nullopt;
    }
    QByteArray bytes;
    for (std::uint64_t at = std::max(from, base); at < taken(); ++at) {
        const Report& report = inbox.at(static_cast<std::size_t>(at - base));
        if (report.kind == named) {
            bytes += report.nameBytes;
        }
    }
    return mdse::nameOfBytes(bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0')));
}

ReadBack MdseRecorder::readBack(std::span<const int> tracks) {
    ReadBack read;
    const std::optional<Report> toc = request(
        command::tocRequest,
        [](const Report& report) {
            return isOneOf(report, {Report::Kind::toc, Report::Kind::noToc});
        },
        answerTicks);
    if (!toc || toc->kind != Report::Kind::toc) {
        return read;
    }
    read.answered = true;
    read.disc.model = modelName;
    read.disc.tracks = static_cast<std::int16_t>(toc->first == 0 ? 0 : toc->last - toc->first + 1);
    read.disc.minutes = static_cast<std::int16_t>(toc->minutes);
    read.disc.seconds = static_cast<std::int16_t>(toc->seconds);
    for (const int track : tracks) {
        ReadBack::Track found{.number = track, .seconds = std::nullopt, .name = std::nullopt};
        if (track >= toc->first && track <= toc->last) {
            const std::optional<Report> time = request(
                command::trackTimeRequest(track),
                [](const Report& report) {
                    return isOneOf(report, {Report::Kind::trackTime, Report::Kind::impossible,
                                            Report::Kind::undefinedCommand});
                },
                answerTicks);
            if (!time || time->kind != Report::Kind::trackTime) {
                read.answered = false; // the deck stopped answering: nothing it said is a verdict
                return read;
            }
            found.seconds = time->minutes * secondsPerMinute + time->seconds;
            found.name = readName(track);
        }
        read.tracks.push_back(found);
    }
    return read;
}

std::optional<QString> MdseRecorder::renameAndRead(int track, const QString& title) {
    writeName(track, title);
    return readName(track);
}

} // namespace quorvex
