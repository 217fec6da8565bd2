#pragma once

#include "platform/settingsstore.h"

#include <QSettings>

namespace quorvex {

// The user's MP3Quorvex.ini in the configuration directory ($XDG_CONFIG_HOME on Linux), or another INI file.
// A file that cannot be read as INI is moved aside to <name>.unreadable and the defaults are used; a file
// that cannot be written keeps what it had. Either is reported once on standard error, naming the file,
// and the program goes on. Read only, the store never writes the file: one it cannot read is read as
// absent and left where it is.
class IniSettingsStore final : public SettingsStore {
public:
    enum class Access { readWrite, readOnly };
    explicit IniSettingsStore(Access access = Access::readWrite);
    explicit IniSettingsStore(const QString& fileName, Access access = Access::readWrite);

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

    const Access access;
    const bool firstStart;
    QSettings settings;
    QSettings::Status reported = QSettings::NoError;
};

} // namespace quorvex
