#include "record/consolefeedback.h"

#include "tracks/formatseconds.h"

#include <unistd.h>

namespace quorvex {

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

QString consoleStatusLine(const RunProgress& progress, const QString& title, const QString& time) {
    QString line = QStringLiteral("%1/%2  %3 %4")
                       .arg(progress.current)
                       .arg(progress.count)
                       .arg(progress.track ? QString::number(*progress.track) : QStringLiteral("-"), title);
    if (!time.isEmpty()) {
        line += QStringLiteral("  ") + time;
    }
    return line + QStringLiteral("  %1 left").arg(formatSeconds(progress.secondsLeft));
}

ConsoleFeedback::ConsoleFeedback(std::FILE* outStream, std::FILE* errStream, bool anyway)
    : out(outStream), err(errStream), recordAnyway(anyway), terminal(isatty(fileno(errStream)) == 1) {}

ConsoleFeedback::~ConsoleFeedback() {
    clearStatus();
}

void ConsoleFeedback::showEntry(int /*index*/) {
    time.clear();
}

void ConsoleFeedback::showTagFields(const std::optional<TagFields>& /*fields*/) {}

void ConsoleFeedback::setStatusLine(const QString& text) {
    static const QString recording = QStringLiteral("Recording ");
    if (text.startsWith(recording)) {
        title = text.mid(recording.size());
        time.clear();
    } else if (text.contains(QStringLiteral(" / "))) {
        time = text;
    }
    drawStatus();
}

void ConsoleFeedback::showRunProgress(const RunProgress& now) {
    progress = now;
    drawStatus();
}

void ConsoleFeedback::showNotice(const Notice& notice) {
    say(notice.text);
}

bool ConsoleFeedback::askRecordAnyway(const QString& question) {
    if (recordAnyway) {
        return true;
    }
    say(question + QStringLiteral("\nNothing was recorded: give --record-anyway to record it all the same."));
    notRecordedAnyway = true;
    return false;
}

void ConsoleFeedback::remindPauseMode() {
    say(QStringLiteral("pause mode sent no command but the titles: the recorder's own track marks split the "
                       "tracks at the pauses."));
}

void ConsoleFeedback::entryEnded(const EndedEntry& entry) {
    clearStatus();
    const bool madeTrack = entry.track && entry.mark.state != EntryState::skipped;
    print(out, QStringLiteral("%1 %2: %3\n")
                   .arg(madeTrack ? QString::number(*entry.track) : QStringLiteral("-"), entry.title,
                        entryMarkText(entry.mark)));
}

void ConsoleFeedback::say(const QString& text) {
    clearStatus();
    print(err, QStringLiteral("quorvex-record: %1\n").arg(text));
}

void ConsoleFeedback::drawStatus() {
    if (!terminal || progress.count == 0) {
        return;
    }
    print(err, QStringLiteral("\r\033[K") + consoleStatusLine(progress, title, time));
    statusShown = true;
}

void ConsoleFeedback::clearStatus() {
    if (statusShown) {
        print(err, QStringLiteral("\r\033[K"));
        statusShown = false;
    }
}

} // namespace quorvex
