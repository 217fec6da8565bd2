#include "platform/inisettingsstore.h"

#include <QFile>
#include <QtDebug>

namespace quorvex {

namespace {

QString userSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("MP3Quorvex")).fileName();
}

// QSettings would rewrite a file it cannot parse with whatever it made of it, so such a file is moved
// aside, kept for the user, and the program starts with its defaults.
const QString& setAsideIfUnreadable(const QString& fileName) {
    {
        const QSettings probe(fileName, QSettings::IniFormat);
        // The file is parsed at the first access, not at construction.
        static_cast<void>(probe.allKeys());
        if (probe.status() != QSettings::FormatError) {
            return fileName;
        }
    }
    const QString aside = fileName + QStringLiteral(".unreadable");
    QFile::remove(aside);
    if (QFile::rename(fileName, aside)) {
        qWarning().noquote() << QStringLiteral("Quorvex: %1 is not a settings file it can read; it was moved "
                                               "to %2 and the defaults are used")
                                    .arg(fileName, aside);
    }
    return fileName;
}

} // namespace

IniSettingsStore::IniSettingsStore(Access access) : IniSettingsStore(userSettingsFile(), access) {}

IniSettingsStore::IniSettingsStore(const QString& fileName, Access access)
    : access(access), firstStart(!QFile::exists(fileName)),
      settings(access == Access::readWrite ? setAsideIfUnreadable(fileName) : fileName,
               QSettings::IniFormat) {
    static_cast<void>(settings.allKeys());
    reportProblem();
}

QString IniSettingsStore::read(const QString& section, const QString& key,
                               const QString& defaultValue) const {
    return settings.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    if (access == Access::readOnly) {
        return;
    }
    settings.setValue(section + QLatin1Char('/') + key, value);
    // The program may end at once after a save, so the file is written now, not at destruction.
    settings.sync();
    reportProblem();
}

void IniSettingsStore::reportProblem() {
    const QSettings::Status status = settings.status();
    if (status == QSettings::NoError || status == reported) {
        return;
    }
    reported = status;
    qWarning().noquote() << (status == QSettings::FormatError && access == Access::readOnly
                                 ? QStringLiteral("Quorvex: %1 is not a settings file it can read; the "
                                                  "defaults are used")
                             : status == QSettings::FormatError
                                 ? QStringLiteral("Quorvex: %1 is not a settings file it can read and cannot "
                                                  "be moved aside; settings are not remembered")
                                 : QStringLiteral("Quorvex: cannot write %1; settings are not remembered"))
                                .arg(settings.fileName());
}

} // namespace quorvex
