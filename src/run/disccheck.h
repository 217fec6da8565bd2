#pragma once

#include "link/recorder.h"
#include "run/discrecord.h"
#include "tracks/entrymark.h"

#include <optional>
#include <QString>
#include <QStringList>
#include <span>
#include <vector>

namespace quorvex {

// A track a run made, as the check of the disc after the run compares it.
struct MadeTrack {
    int entry = 0;
    int number = 0;
    int recordedSeconds = 0; // the run's own span: from the record acknowledgement (or mark) to the stop
    QString name;            // as the recorder keeps it
};

// What the disc read back after a run says of the run.
struct DiscCheck {
    enum class Outcome { asPlanned, differs, noAnswer, pauseMode };
    Outcome outcome = Outcome::noAnswer;
    // The line the run ends with: "The disc holds what was recorded: 12 tracks, 48:10.", each difference, or
    // why the disc was not checked.
    QString summary;
    QStringList differences;
    struct Remark {
        int entry = 0;
        EntryMark mark;
    };
    std::vector<Remark> marks;       // entries whose track is not on the disc as recorded
    std::vector<MadeTrack> misnamed; // tracks whose name reads back otherwise than written
    ReadBack read;
};

// The disc as read back against the run: the count and the total where that is all the recorder tells
// (each track's time may differ by 2 s), else each track's presence, time and name.
[[nodiscard]] DiscCheck checkDisc(const std::optional<DiscContents>& before, std::span<const MadeTrack> made,
                                  const ReadBack& read);
// The outcome and the summary line from the differences found so far (a misnamed track is one until it is
// written again and reads right).
void concludeCheck(DiscCheck& check);
// A name still wrong after it was written once more: "Track 16's title reads "Coda?" instead of "Coda!"."
[[nodiscard]] QString misnamedText(int track, const QString& read, const QString& written);
// A check that was not made in pause mode.
[[nodiscard]] DiscCheck notCheckedInPauseMode();

} // namespace quorvex
