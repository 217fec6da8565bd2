#pragma once

#include "platform/settingkeys.h"

#include <QString>

namespace quorvex {

// Per-user text values of the application, addressed by section and key.
class SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    SettingsStore(SettingsStore&&) = delete;
    SettingsStore& operator=(SettingsStore&&) = delete;
    virtual ~SettingsStore() = default;

    // The stored text, or defaultValue when the key is absent.
    [[nodiscard]] virtual QString read(const QString& section, const QString& key,
                                       const QString& defaultValue) const = 0;
    virtual void save(const QString& section, const QString& key, const QString& value) = 0;
    // The same for one of the program's own keys.
    [[nodiscard]] QString read(const SettingKey& setting) const {
        return read(setting.section, setting.key, setting.byDefault);
    }
    void save(const SettingKey& setting, const QString& value) { save(setting.section, setting.key, value); }
    // Whether there was nothing stored at all when the program started: its first start for this user.
    [[nodiscard]] virtual bool isFirstStart() const = 0;
};

} // namespace quorvex
