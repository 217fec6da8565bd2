#include "platform/uilanguage.h"

#include <array>
#include <QRegularExpression>

namespace quorvex {

LocaleVariables localeVariables() {
    return {.language = qEnvironmentVariable("LANGUAGE"),
            .lcAll = qEnvironmentVariable("LC_ALL"),
            .lcMessages = qEnvironmentVariable("LC_MESSAGES"),
            .lang = qEnvironmentVariable("LANG")};
}

QString uiLanguage(const LocaleVariables& variables) {
    const std::array chosen{variables.language.split(QLatin1Char(':'), Qt::SkipEmptyParts).value(0),
                            variables.lcAll, variables.lcMessages, variables.lang};
    for (const QString& locale : chosen) {
        if (locale.isEmpty()) {
            continue;
        }
        // language[_territory][.codeset][@modifier]
        static const QRegularExpression ends(QStringLiteral("[_.@]"));
        const QString language = locale.section(ends, 0, 0);
        return language == QLatin1String("C") || language == QLatin1String("POSIX") ? QString() : language;
    }
    return {};
}

} // namespace quorvex
