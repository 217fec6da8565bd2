#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <QByteArrayView>
#include <QString>
#include <QTime>

namespace quorvex {

// One line of the serial trace: "14:03:07.215  >  7E 07 05 47 10 03 FF  REMOTE MODE On" ('>' to the
// recorder, '<' from it).
[[nodiscard]] QString traceLine(QTime at, char direction, QByteArrayView bytes, const QString& name);

// The serial trace an owner of a recorder can send us: every frame each way, one line each. Once a file is
// given, the lines are written to it as they come, each flushed, so a program that dies leaves its trace
// whole. A trace that keeps its session keeps every line in a temporary file (not in memory: a long session
// would grow the program), for save().
class LinkTrace final {
public:
    enum class Keep { nothing, session };
    explicit LinkTrace(Keep keep = Keep::nothing);

    // From now on each line goes to `path` too (appended): what went wrong when it cannot be opened.
    [[nodiscard]] std::optional<QString> writeTo(const QString& path);
    void sent(QByteArrayView bytes, const QString& name) { add('>', bytes, name); }
    void received(QByteArrayView bytes, const QString& name) { add('<', bytes, name); }
    // The session's lines so far into `path`: what went wrong when they could not be written.
    [[nodiscard]] std::optional<QString> save(const QString& path) const;

private:
    void add(char direction, QByteArrayView bytes, const QString& name);

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, Closer>;
    // Plain C files: Qt's file buffers would keep growing with the lines written through them.
    File session;
    File file;
};

} // namespace quorvex
