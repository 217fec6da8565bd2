#pragma once

#include <mpv/client.h>
#include <QString>
#include <QStringList>

namespace quorvex {

// Why libmpv could not play a file, in the program's words where they are plainer than libmpv's.
[[nodiscard]] QString mpvErrorReason(int error);
// "Cannot play "<file>": <why>".
[[nodiscard]] QString cannotPlayText(const QString& file, int error);

// libmpv's error messages since the file under way was opened, each once, the last four: the details of the
// message that names its failure.
class MpvErrorLog final {
public:
    void clear() { lines.clear(); }
    void add(const mpv_event_log_message& message);
    // "Cannot play "<file>": <why> (<libmpv's messages>)".
    [[nodiscard]] QString failure(const QString& file, int error) const;
    // Why no sound output could be opened, on one line: libmpv's own words where it gave them.
    [[nodiscard]] QString outputFailure() const;

private:
    QStringList lines;
};

} // namespace quorvex
