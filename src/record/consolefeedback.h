#pragma once

#include "run/runfeedback.h"

#include <cstdio>
#include <QString>

namespace quorvex {

// A recording run on the command line: one line per entry on standard output as it ends ("13 Coda:
// recorded", "- Coda: skipped: <why>"), messages on standard error after the program's name, and, when
// standard error is a terminal, one status line rewritten in place there.
class ConsoleFeedback final : public RunFeedback {
public:
    ConsoleFeedback(std::FILE* out, std::FILE* err, bool recordAnyway);
    ConsoleFeedback(const ConsoleFeedback&) = delete;
    ConsoleFeedback& operator=(const ConsoleFeedback&) = delete;
    ConsoleFeedback(ConsoleFeedback&&) = delete;
    ConsoleFeedback& operator=(ConsoleFeedback&&) = delete;
    ~ConsoleFeedback() override;

    void showEntry(int index) override;
    void showTagFields(const std::optional<TagFields>& fields) override;
    void setStatusLine(const QString& text) override;
    void showRunProgress(const RunProgress& now) override;
    void showNotice(const Notice& notice) override;
    // Prints the question; the answer is --record-anyway's.
    bool askRecordAnyway(const QString& question) override;
    void remindPauseMode() override;
    void entryEnded(const EndedEntry& entry) override;

    // A message of the program's own on standard error.
    void say(const QString& text);
    // Whether the list did not fit and was not recorded for it.
    [[nodiscard]] bool declined() const { return notRecordedAnyway; }

private:
    void drawStatus();
    void clearStatus();

    std::FILE* out;
    std::FILE* err;
    const bool recordAnyway;
    const bool terminal;
    bool notRecordedAnyway = false;
    bool statusShown = false;
    RunProgress progress;
    QString title;
    QString time;
};

// The command line's status line: "3/7  13 Coda  01:12 / 03:40  41:10 left" (without a track number yet:
// "3/7  - Coda …").
[[nodiscard]] QString consoleStatusLine(const RunProgress& progress, const QString& title,
                                        const QString& time);

} // namespace quorvex
