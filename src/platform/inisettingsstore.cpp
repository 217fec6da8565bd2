#include "platform/inisettingsstore.h"

namespace quorvex {

IniSettingsStore::IniSettingsStore()
    : settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("MP3Quorvex")) {}

QString IniSettingsStore::read(const QString& section, const QString& key,
                               const QString& defaultValue) const {
    return settings.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    settings.setValue(section + QLatin1Char('/') + key, value);
    // The program may end at once after a save, so the file is written now, not at destruction.
    settings.sync();
}

} // namespace quorvex
