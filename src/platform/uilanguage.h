#pragma once

#include <QString>

namespace quorvex {

// The environment variables that choose the language of a program's messages.
struct LocaleVariables {
    QString language;   // LANGUAGE: languages by preference, separated by colons
    QString lcAll;      // LC_ALL
    QString lcMessages; // LC_MESSAGES
    QString lang;       // LANG
};

// This process's own.
[[nodiscard]] LocaleVariables localeVariables();

// The language the program runs in, in gettext's order: LANGUAGE's first entry, else the first of LC_ALL,
// LC_MESSAGES and LANG that is set. Only the language is kept ("ja" from "ja_JP.UTF-8", "sr" from
// "sr_RS@latin"); none, "C" and "POSIX" give "" (the program's own English).
[[nodiscard]] QString uiLanguage(const LocaleVariables& variables);

} // namespace quorvex
