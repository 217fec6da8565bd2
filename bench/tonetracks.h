#pragma once

// Sound files that each sound a tone of their own, and what a recording of the sink says of each: where its
// sound stands, the holes inside it, its level against its own file's. Every tone's period is a whole number
// of samples, so a window of whole periods measures its level exactly, and its pitch tells which file a
// stretch of sound belongs to.
#include "sinkrecorder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QtEndian>
#include <vector>

namespace quorvex::bench {

// Periods in samples at 44.1 kHz, 300 Hz to 2100 Hz, each at least 3 samples from its neighbours.
inline constexpr std::array tonePeriods{147, 126, 105, 98, 90, 84, 75, 70, 63, 60,
                                        54,  50,  45,  42, 36, 33, 30, 27, 24, 21};
inline constexpr int rate = test::SinkRecorder::rate;

struct ToneFile {
    QString path;
    int period = 0;          // samples
    double gainDb = 0;       // its ReplayGain track gain tag
    std::vector<qint16> pcm; // what it decodes to: 16-bit stereo at 44.1 kHz, interleaved
};

inline std::vector<qint16> samplesOf(QByteArrayView bytes) {
    std::vector<qint16> samples(static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = qFromLittleEndian<qint16>(bytes.sliced(static_cast<qsizetype>(i) * 2).data());
    }
    return samples;
}

// `count` FLAC files of `seconds` in `folder`, named so that a folder lists them in order, each a tone of its
// own at half of full scale, tagged with a track gain of -2 dB, -2.25 dB, ... (peak 0.5). False, said on
// standard error, when ffmpeg could not make them.
inline std::optional<std::vector<ToneFile>> makeToneFiles(const QString& folder, int count, double seconds) {
    std::vector<ToneFile> files;
    for (int index = 0; index < count && index < static_cast<int>(tonePeriods.size()); ++index) {
        ToneFile file;
        file.period = tonePeriods.at(static_cast<std::size_t>(index));
        file.gainDb = -2.0 - 0.25 * index;
        file.path =
            QDir(folder).filePath(QStringLiteral("%1_Tone %1.flac").arg(index + 1, 2, 10, QChar('0')));
        const QString tone = QStringLiteral("aevalsrc=0.5*sin(2*PI*t*%1):s=%2:d=%3")
                                 .arg(static_cast<double>(rate) / file.period, 0, 'f', 6)
                                 .arg(rate)
                                 .arg(seconds);
        const int made = QProcess::execute(
            QStringLiteral("ffmpeg"),
            {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", tone, "-ac", "2", "-sample_fmt",
             "s16", "-metadata", QStringLiteral("REPLAYGAIN_TRACK_GAIN=%1 dB").arg(file.gainDb, 0, 'f', 2),
             "-metadata", "REPLAYGAIN_TRACK_PEAK=0.500000", file.path});
        QProcess decode;
        decode.start(QStringLiteral("ffmpeg"), {"-nostdin", "-loglevel", "error", "-i", file.path, "-f",
                                                "s16le", "-ac", "2", "-ar", QString::number(rate), "-"});
        if (made != 0 || !decode.waitForFinished(30000) || decode.exitCode() != 0) {
            std::fputs("ffmpeg could not make the tone files\n", stderr);
            return std::nullopt;
        }
        file.pcm = samplesOf(decode.readAllStandardOutput());
        files.push_back(std::move(file));
    }
    return files;
}

// One file's sound as the sink heard it.
struct HeardTrack {
    int file = -1;
    qsizetype firstFrame = 0; // its first and last frame that is not silence
    qsizetype lastFrame = 0;
    int holes = 0; // runs of 44 or more silent frames (1 ms) inside it
    double longestHoleMs = 0;
    double worstLevelDb = 0; // the largest distance of a window's level from the file's own times the level
    double firstLevelDb = 0; // that distance in the first window, where a late level shows
    qsizetype differentSamples =
        0; // against the file's own samples times the level, rounded (bit for bit at 0 dB)
};

namespace detail {

inline bool silentFrame(const std::vector<qint16>& pcm, qsizetype frame) {
    return pcm[static_cast<std::size_t>(frame) * 2] == 0 && pcm[static_cast<std::size_t>(frame) * 2 + 1] == 0;
}

inline double rmsOf(const std::vector<qint16>& pcm, qsizetype fromFrame, qsizetype frames) {
    double energy = 0;
    for (qsizetype at = fromFrame * 2; at < (fromFrame + frames) * 2; ++at) {
        energy += static_cast<double>(pcm[static_cast<std::size_t>(at)]) * pcm[static_cast<std::size_t>(at)];
    }
    return std::sqrt(energy / static_cast<double>(frames * 2));
}

// The file whose tone has this period (to a sample), if any.
inline std::optional<int> fileOfPeriod(qsizetype length, const std::vector<ToneFile>& files) {
    for (std::size_t index = 0; index < files.size(); ++index) {
        if (std::abs(length - files[index].period) <= 1) {
            return static_cast<int>(index);
        }
    }
    return std::nullopt;
}

// Where a file's sound begins and ends in the left channel: runs of whole periods of its tone, from one
// rising zero crossing to the next; a run of another tone's periods begins the next file.
inline std::vector<HeardTrack> toneRuns(const std::vector<qint16>& pcm, const std::vector<ToneFile>& files) {
    constexpr qsizetype settled = 10; // periods in a row before a new tone counts
    std::vector<HeardTrack> runs;
    std::optional<int> candidate;
    qsizetype candidateFrom = 0;
    qsizetype inRow = 0;
    qsizetype previous = -1;
    const auto frames = static_cast<qsizetype>(pcm.size() / 2);
    for (qsizetype frame = 1; frame < frames; ++frame) {
        const bool rising =
            pcm[static_cast<std::size_t>(frame - 1) * 2] <= 0 && pcm[static_cast<std::size_t>(frame) * 2] > 0;
        if (!rising) {
            continue;
        }
        const std::optional<int> file = previous < 0 ? std::nullopt : fileOfPeriod(frame - previous, files);
        if (file && !runs.empty() && runs.back().file == *file) {
            runs.back().lastFrame = frame;
        } else if (file) {
            inRow = file == candidate ? inRow + 1 : 1;
            candidateFrom = file == candidate ? candidateFrom : previous;
            candidate = file;
            if (inRow == settled) {
                runs.push_back({.file = *file, .firstFrame = candidateFrom, .lastFrame = frame});
            }
        }
        previous = frame;
    }
    // A run's first and last part period, up to the silence on either side.
    for (HeardTrack& run : runs) {
        const qsizetype period = files[static_cast<std::size_t>(run.file)].period;
        for (qsizetype back = 0; back < period && run.firstFrame > 0 && !silentFrame(pcm, run.firstFrame - 1);
             ++back) {
            --run.firstFrame;
        }
        for (qsizetype ahead = 0;
             ahead < period && run.lastFrame + 1 < frames && !silentFrame(pcm, run.lastFrame + 1); ++ahead) {
            ++run.lastFrame;
        }
    }
    return runs;
}

} // namespace detail

// Each file's sound in a recording of the sink, in the order heard, however long the silence inside it; its
// level compared, window by window of whole periods (about 0.1 s), with the file's own level times
// 10^(levelDb / 20) (levelDb per file).
inline std::vector<HeardTrack> heardTracks(const QByteArray& recording, const std::vector<ToneFile>& files,
                                           const std::vector<double>& levelDb) {
    const std::vector<qint16> pcm = samplesOf(recording);
    std::vector<HeardTrack> tracks = detail::toneRuns(pcm, files);
    for (HeardTrack& track : tracks) {
        qsizetype run = 0;
        for (qsizetype frame = track.firstFrame; frame <= track.lastFrame; ++frame) {
            run = detail::silentFrame(pcm, frame) ? run + 1 : 0;
            if (run == 44) {
                ++track.holes;
            }
            track.longestHoleMs = std::max(track.longestHoleMs, 1000.0 * static_cast<double>(run) / rate);
        }
        const ToneFile& own = files[static_cast<std::size_t>(track.file)];
        const double factor = std::pow(10.0, levelDb[static_cast<std::size_t>(track.file)] / 20);
        // The file's own first sound is at its frame 1 (a sine starts at 0).
        const auto ownFirst =
            static_cast<qsizetype>(std::ranges::find_if(own.pcm, [](qint16 sample) { return sample != 0; }) -
                                   own.pcm.begin()) /
            2;
        const auto ownFrames = static_cast<qsizetype>(own.pcm.size() / 2);
        const qsizetype measured = (rate / 10 / own.period) * own.period;
        const double ownRms = detail::rmsOf(own.pcm, ownFirst, measured) * factor;
        for (qsizetype at = 0; track.firstFrame + at + measured <= track.lastFrame + 1; at += measured) {
            const double distance =
                std::abs(20 * std::log10(detail::rmsOf(pcm, track.firstFrame + at, measured) / ownRms));
            track.worstLevelDb = std::max(track.worstLevelDb, distance);
            track.firstLevelDb = at == 0 ? distance : track.firstLevelDb;
        }
        for (qsizetype frame = 0; frame <= track.lastFrame - track.firstFrame && ownFirst + frame < ownFrames;
             ++frame) {
            for (std::size_t side = 0; side < 2; ++side) {
                const auto got = pcm[static_cast<std::size_t>(track.firstFrame + frame) * 2 + side];
                const auto want =
                    std::lround(own.pcm[static_cast<std::size_t>(ownFirst + frame) * 2 + side] * factor);
                track.differentSamples += std::abs(got - want) > (factor == 1.0 ? 0 : 1) ? 1 : 0;
            }
        }
    }
    return tracks;
}

} // namespace quorvex::bench
