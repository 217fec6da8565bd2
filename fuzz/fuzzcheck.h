#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <utility>

// A broken invariant is a crash: libFuzzer saves the input that caused it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// The fuzzed bytes as a file the reader under test opens.
inline void writeFuzzFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
}

// A folder for the whole run holding "a.wav" (a WAV's header: a sound file as far as the readers are
// concerned), and what else `files` names with its contents, beside which each input is written.
inline const QTemporaryDir&
fuzzFolder(std::initializer_list<std::pair<const char*, const char*>> files = {}) {
    static const QTemporaryDir folder;
    static const bool made = [&files] {
        writeFuzzFile(folder.filePath(QStringLiteral("a.wav")),
                      QByteArrayView("RIFF\x24\0\0\0WAVEfmt \0\0\0\0", 20));
        for (const auto& [name, contents] : files) {
            writeFuzzFile(folder.filePath(QString::fromUtf8(name)), contents);
        }
        return true;
    }();
    FUZZ_CHECK(made);
    return folder;
}
