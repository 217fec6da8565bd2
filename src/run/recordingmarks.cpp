// How a run marks the entries it is done with, and what it says at its end of those not recorded whole.
#include "run/recordingrun.h"
#include "run/recordingsession.h"
#include "run/runfeedback.h"

namespace quorvex {

QString RecordingRun::unnamedReason() {
    return QStringLiteral("title not written: the recorder did not confirm it");
}

void RecordingRun::mark(int index, const QString& path, const EntryMark& given) {
    EntryMark entryMark = given;
    if (const auto track = trackOf.find(index);
        track != trackOf.end() && unnamed.contains(static_cast<std::int16_t>(track->second))) {
        entryMark.reason = unnamedReason();
    }
    summary.recorded += entryMark.state == EntryState::recorded ? 1 : 0;
    summary.skipped += entryMark.state == EntryState::skipped ? 1 : 0;
    summary.cutShort += entryMark.state == EntryState::cutShort ? 1 : 0;
    session.entries().setMark(index, entryMark);
    // Done with: what the run kept of the entry goes, so a long list costs no more as it goes on.
    const auto track = trackOf.extract(index);
    const auto title = titleOf.extract(index);
    feedback.entryEnded({.index = index,
                         .track = track ? std::optional<int>(track.mapped()) : std::nullopt,
                         .title = title ? title.mapped() : QString(),
                         .mark = entryMark});
    if (track) {
        // A track still being recorded (a take's file marked before its stop) counts up to now.
        const auto span = spanTicks.extract(index);
        const auto from = spanFrom.find(index);
        summary.tracksMade.push_back(
            {.entry = index,
             .number = track.mapped(),
             .spanTicks = span ? span.mapped()
                          : from != spanFrom.end()
                              ? static_cast<int>(session.recorder().ticks() - from->second)
                              : 0});
    }
    if (entryMark.state != EntryState::recorded) {
        notWhole.push_back({.path = path, .mark = entryMarkText(entryMark), .state = entryMark.state});
    }
}

void RecordingRun::markCutShort(int index, const QString& path, const Cut& cut) {
    mark(index, path, {.state = EntryState::cutShort, .reason = cut.reason, .at = cut.at});
}

void RecordingRun::skip(int index, const QString& path, const QString& fallbackReason) {
    const QString reason = playerFailure.isEmpty() ? fallbackReason : playerFailure;
    mark(index, path, {.state = EntryState::skipped, .reason = reason});
}

void RecordingRun::reportNotWhole() {
    // A run stopped by the user with nothing else to say needs no box.
    const bool worthSaying = std::any_of(notWhole.begin(), notWhole.end(), [](const NotWhole& entry) {
        return entry.state != EntryState::cutOff;
    });
    if (!worthSaying) {
        notWhole.clear();
        return;
    }
    QString text = QStringLiteral("These files were not recorded whole:");
    for (const NotWhole& entry : notWhole) {
        text += QStringLiteral("\n%1: %2").arg(entry.path, entry.mark);
    }
    if (summary.cutShort > 0) {
        text +=
            QStringLiteral("\n\nA track cut short stays on the disc: Continue records its file again as a "
                           "new track.");
    }
    notWhole.clear();
    feedback.showNotice({.text = text, .title = QStringLiteral("Quorvex"), .severity = Severity::warning});
}

} // namespace quorvex
