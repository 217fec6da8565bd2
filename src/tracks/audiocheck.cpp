#include "tracks/audiocheck.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>

namespace quorvex {

namespace {

// Enough to get past a leading junk block to the first MPEG frame of most MP3 files without an ID3v2 tag.
constexpr qint64 sniffBytes = 4096;

// An MPEG audio frame header: 11 sync bits, a version other than "reserved", a layer other than
// "reserved", and a bitrate index other than "bad".
bool isMpegFrameAt(QByteArrayView bytes, qsizetype at) {
    if (at + 2 >= bytes.size()) {
        return false;
    }
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    const auto third = static_cast<unsigned char>(bytes[at + 2]);
    const bool sync = first == 0xFF && (second & 0xE0) == 0xE0;
    const bool version = (second & 0x18) != 0x08;
    const bool layer = (second & 0x06) != 0x00;
    const bool bitrate = (third & 0xF0) != 0xF0;
    return sync && version && layer && bitrate;
}

// A container whose name stands at `at`: "RIFF"/"FORM" + size + "WAVE"/"AIFF"/"AIFC", "....ftyp" (MP4).
bool hasFourAt(QByteArrayView head, qsizetype at, QByteArrayView four) {
    return head.size() >= at + 4 && head.sliced(at, 4) == four;
}

bool looksLikeSound(QByteArrayView head) {
    const bool wav = head.startsWith("RIFF") && hasFourAt(head, 8, "WAVE");
    const bool aiff = head.startsWith("FORM") && (hasFourAt(head, 8, "AIFF") || hasFourAt(head, 8, "AIFC"));
    const bool asf = head.startsWith(QByteArrayView("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8)); // WMA
    const bool flac = head.startsWith("fLaC");
    const bool ogg = head.startsWith("OggS"); // Vorbis, Opus, FLAC in Ogg
    const bool mp4 = hasFourAt(head, 4, "ftyp");
    if (wav || aiff || asf || flac || ogg || mp4 || head.startsWith("ID3")) {
        return true;
    }
    for (qsizetype at = 0; at < head.size(); ++at) {
        if (isMpegFrameAt(head, at)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<QString> audioFileProblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("the file is missing");
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("the file cannot be read");
    }
    const QByteArray head = file.read(sniffBytes);
    if (head.isEmpty()) {
        return QStringLiteral("the file is empty");
    }
    if (!looksLikeSound(head)) {
        return QStringLiteral("it is not a sound file of a listed format");
    }
    return std::nullopt;
}

} // namespace quorvex
