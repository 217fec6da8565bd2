#pragma once

#include "link/recorder.h"
#include "platform/level.h"

#include <optional>
#include <QString>
#include <QStringList>

namespace quorvex {

class SettingsStore;

// What one `quorvex-record` command asks for; every default is the remembered setting.
struct RecordOptions {
    QStringList entries; // files, folders and playlists, in order
    int com = 1;
    QString device;           // instead of the device behind Com `com`
    bool virtualDeck = false; // the demo's recorder inside the program
    RecorderFamily recorder = RecorderFamily::controlA1;
    QString trace; // every frame each way into this file; empty: none
    int discMinutes = 74;
    bool gapless = false;
    bool insertPauses = false;
    bool asciiTitles = false;
    bool useTags = false;
    bool send44k = true;
    Level level = Level::minus6dB;
    QString output; // the player's name for the sound output; empty: the system default
    std::optional<QString> discName;
    bool recordAnyway = false;
    bool planOnly = false;
    bool listOutputs = false;
    bool listDevices = false;
};

// The command line read: the options, or the text that answers it at once (--help, --version), or what is
// wrong with it.
struct ParsedRecordCommand {
    std::optional<RecordOptions> options;
    QString answer;
    QString error;
};

// `arguments` with the program's name first, as QCoreApplication::arguments() gives them.
[[nodiscard]] ParsedRecordCommand parseRecordCommand(const QStringList& arguments,
                                                     const SettingsStore& settings);

} // namespace quorvex
