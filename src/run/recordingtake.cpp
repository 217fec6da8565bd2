// The gapless take of a recording run: one record…stop around all the playable entries, with a track mark
// where each entry's sound begins (a file's, or a cue track's within its file).
#include "link/recorder.h"
#include "platform/mediaplayer.h"
#include "run/recordingrun.h"
#include "run/recordingsession.h"
#include "run/runfeedback.h"
#include "tracks/audiocheck.h"

#include <algorithm>
#include <QStringList>

namespace quorvex {

std::vector<RecordingRun::TakeFile> RecordingRun::playableTakeFiles() {
    // Each file is opened and decoded up to its first sound as a single track's would be: one that fails
    // here is named at the end and never breaks the take.
    std::vector<TakeFile> files;
    for (position = 0; position < plan.entries.size() && !stopRequested; ++position) {
        const int index = plan.entries.at(position);
        if (index >= session.entries().count()) {
            break;
        }
        auto [path, item, title, recorderTitle] = turnTo(index);
        TakeFile file{.position = position,
                      .index = index,
                      .path = path,
                      .item = item,
                      .title = title,
                      .recorderTitle = recorderTitle};
        feedback.setStatusLine(QStringLiteral("Checking ") + file.title);
        if (const std::optional<QString> problem = audioFileProblem(item.path)) {
            mark(index, path, {.state = EntryState::skipped, .reason = *problem});
            continue;
        }
        currentPath = path;
        currentFile = item.path;
        playerFailure.clear();
        player.prepare(item);
        const bool ready = waitForPlayer(MediaPlayer::ready);
        player.stop();
        if (ready) {
            files.push_back(std::move(file));
        } else if (outputFailure) {
            break;
        } else if (!stopRequested) {
            skip(index, path, QStringLiteral("it did not become ready to play"));
        }
    }
    return files;
}

RecordingRun::Outcome RecordingRun::recordTake() {
    const std::vector<TakeFile> files = playableTakeFiles();
    if (stopRequested) {
        return Outcome::stopped;
    }
    if (outputFailure) {
        return noSoundOutput(0, false, 0);
    }
    return files.empty() ? Outcome::skipped : startTake(files);
}

RecordingRun::Outcome RecordingRun::startTake(const std::vector<TakeFile>& files) {
    const TakeFile& first = files.front();
    std::vector<MediaItem> items;
    items.reserve(files.size());
    for (const TakeFile& file : files) {
        items.push_back(file.item);
    }
    showTakeFile(first);
    currentPath = first.path;
    currentFile = first.item.path;
    playerFailure.clear();
    takeFailures.clear();
    player.prepareTake(items);
    if (!waitForPlayer(MediaPlayer::ready)) {
        player.stop();
        if (stopRequested) {
            return cutOff(first.index, false);
        }
        if (outputFailure) {
            return noSoundOutput(first.index, false, 0);
        }
        skip(first.index, first.path, QStringLiteral("it did not become ready to play"));
        return Outcome::skipped;
    }
    if (const std::optional<Outcome> failed = startRecorder(first.index)) {
        return *failed;
    }
    trackMade(first.index);
    player.play();
    if (!waitForPlayer(MediaPlayer::playing)) {
        player.stop();
        if (stopRequested) {
            return cutOff(first.index, true);
        }
        stopRecorder(true);
        if (outputFailure) {
            return noSoundOutput(first.index, true, 0);
        }
        markCutShort(
            first.index, first.path,
            {.reason = playerFailure.isEmpty() ? QStringLiteral("it did not start playing") : playerFailure,
             .at = 0});
        return Outcome::skipped;
    }
    session.recorder().nameTrack(static_cast<std::int16_t>(existingTrackCount + tracksMade),
                                 first.recorderTitle);
    std::size_t heard = 0;
    takePosition = 0;
    const std::optional<Cut> cut = followSound([this, &files, &heard] {
        markTracksUntil(files, heard);
        showPlayingTime();
        takePosition = player.currentPosition();
    });
    // The last boundary may come with the end.
    markTracksUntil(files, heard);
    return endTake(files, heard, cut);
}

void RecordingRun::showTakeFile(const TakeFile& file) {
    position = file.position;
    feedback.showEntry(file.index);
    feedback.setStatusLine(QStringLiteral("Recording ") + file.title);
    shownTime.clear();
    showProgress(0);
}

void RecordingRun::markTracksUntil(const std::vector<TakeFile>& files, std::size_t& heard) {
    const auto now = std::min(static_cast<std::size_t>(std::max(player.takeFile(), 0)), files.size() - 1);
    while (heard < now) {
        const std::size_t done = heard++;
        // A file that failed before it sounded makes no track; the next one heard takes its number.
        while (heard < now && takeFailure(files.at(heard).item.path)) {
            finishTakeFile(files.at(heard), false, false);
            ++heard;
        }
        finishTakeFile(files.at(done), true, heard > done + 1);
        const TakeFile& next = files.at(heard);
        // The recorder is recording: a record command is a track mark. Its acknowledgement is not waited
        // for, so nothing holds the take.
        session.recorder().markTrack();
        trackMade(next.index);
        session.recorder().nameTrack(static_cast<std::int16_t>(existingTrackCount + tracksMade),
                                     next.recorderTitle);
        showTakeFile(next);
    }
}

std::optional<QString> RecordingRun::takeFailure(const QString& path) const {
    const auto found = std::find_if(takeFailures.begin(), takeFailures.end(),
                                    [&path](const auto& failure) { return failure.first == path; });
    return found == takeFailures.end() ? std::nullopt : std::optional(found->second);
}

void RecordingRun::finishTakeFile(const TakeFile& file, bool sounded, bool nextFailed) {
    // When a file of the take fails to open, the player drops the sound still queued of the one before it.
    const std::optional<QString> failure =
        nextFailed ? std::optional(QStringLiteral("its end was lost: the file after it could not be played"))
                   : takeFailure(file.item.path);
    if (!failure) {
        mark(file.index, file.path, {.state = EntryState::recorded, .reason = {}});
    } else if (sounded) {
        markCutShort(file.index, file.path, {.reason = *failure, .at = takePosition});
    } else {
        mark(file.index, file.path, {.state = EntryState::skipped, .reason = *failure});
    }
}

RecordingRun::Outcome RecordingRun::endTake(const std::vector<TakeFile>& files, std::size_t heard,
                                            const std::optional<Cut>& cut) {
    player.stop();
    const TakeFile& last = files.at(heard);
    currentPath = last.path;
    currentFile = last.item.path;
    if (stopRequested) {
        return cutOff(last.index, true);
    }
    if (stopRecorder(true)) {
        return noNewTrack(last.index, false);
    }
    if (outputFailure) {
        return noSoundOutput(last.index, true, cut ? cut->at : 0);
    }
    if (cut) {
        // Paused, stopped, failed, stalled, or the recorder stopped by itself: the take ends there, and what
        // follows waits for the next.
        markCutShort(last.index, last.path, *cut);
        return session.recorder().stoppedByItself() ? Outcome::aborted : Outcome::recorded;
    }
    // Only files that failed before they sounded can follow the last one heard.
    bool nextFailed = false;
    for (std::size_t rest = heard + 1; rest < files.size(); ++rest) {
        if (takeFailure(files.at(rest).item.path)) {
            finishTakeFile(files.at(rest), false, false);
            nextFailed = true;
        }
    }
    finishTakeFile(last, true, nextFailed);
    return Outcome::recorded;
}

} // namespace quorvex
