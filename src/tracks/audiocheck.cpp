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

bool looksLikeSound(QByteArrayView head) {
    const bool wav = head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WAVE";
    const bool asf = head.startsWith(QByteArrayView("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8)); // WMA
    if (wav || asf || head.startsWith("ID3")) {
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
        return QStringLiteral("it is not an MP3, WAV or WMA sound file");
    }
    return std::nullopt;
}

} // namespace quorvex
