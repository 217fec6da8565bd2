#pragma once

#include "platform/settingsstore.h"

#include <QSettings>

namespace quorvex {

// The user's MP3Quorvex.ini in the configuration directory ($XDG_CONFIG_HOME on Linux).
class IniSettingsStore final : public SettingsStore {
public:
    IniSettingsStore();

    [[nodiscard]] QString read(const QString& section, const QString& key,
                               const QString& defaultValue) const override;
    void save(const QString& section, const QString& key, const QString& value) override;

    [[nodiscard]] QString fileName() const { return settings.fileName(); }

private:
    QSettings settings;
};

} // namespace quorvex
