#include "platform/settingvalues.h"

#include "platform/settingkeys.h"
#include "platform/settingsstore.h"

namespace quorvex {

int portNumberFromSetting(const QString& text) {
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (!isNumber || number < firstPort || number > lastPort) {
        return defaultPort;
    }
    return number;
}

Qt::CheckState useId3FromSetting(const QString& text) {
    bool isNumber = false;
    const int value = text.trimmed().toInt(&isNumber);
    return isNumber && value == 0 ? Qt::Unchecked : Qt::Checked;
}

bool switchFromSetting(const QString& text, bool byDefault) {
    if (text == QStringLiteral("1") || text == QStringLiteral("0")) {
        return text == QStringLiteral("1");
    }
    return byDefault;
}

int discMinutesFromSetting(const QString& text) {
    for (const int minutes : discLengthsMinutes) {
        if (text == QString::number(minutes)) {
            return minutes;
        }
    }
    return defaultDiscMinutes;
}

std::optional<Level> levelNamed(const QString& text) {
    for (const LevelName& name : levelNames) {
        if (text == name.text) {
            return name.level;
        }
    }
    return std::nullopt;
}

Level levelFromSetting(const QString& text) {
    return levelNamed(text).value_or(Level::minus6dB);
}

QLatin1String levelText(Level level) {
    for (const LevelName& name : levelNames) {
        if (name.level == level) {
            return name.text;
        }
    }
    return levelNames.front().text;
}

bool rememberedSwitch(const SettingsStore& settings, const SettingKey& key) {
    return switchFromSetting(settings.read(key), key.byDefault == QLatin1String("1"));
}

} // namespace quorvex
