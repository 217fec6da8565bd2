#pragma once

#include "platform/settingsstore.h"

#include <QSettings>

namespace quorvex {

// The user's MP3Quorvex.ini in the configuration directory ($XDG_CONFIG_HOME on Linux), or another INI file.
// A file that cannot be read as INI is moved aside to <name>.unreadable and the defaults are used; a file
// that cannot be written keeps what it had. Either is reported once on standard error, naming the file,
// and the program goes on.
class IniSettingsStore final : public SettingsStore {
public:
    IniSettingsStore();
    explicit IniSettingsStore(const QString& fileName);

    using SettingsStore::read;
    using SettingsStore::save;
    [[nodiscard]] QString read(const QString& section, const QString& key,
                               const QString& defaultValue) const override;
    void save(const QString& section, const QString& key, const QString& value) override;
    // No settings file was there when the store was made.
    [[nodiscard]] bool isFirstStart() const override { return firstStart; }

    [[nodiscard]] QString fileName() const { return settings.fileName(); }

private:
    void reportProblem();

    const bool firstStart;
    QSettings settings;
    QSettings::Status reported = QSettings::NoError;
};

} // namespace quorvex
