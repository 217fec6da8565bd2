// The language the program runs in, from the locale's variables.
#include "platform/uilanguage.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(UiLanguage, LanguageFirstThenLcAllLcMessagesAndLang) {
    const struct {
        LocaleVariables variables;
        const char* language = nullptr;
    } rows[] = {
        {{.language = "ja:en", .lcAll = "", .lcMessages = "", .lang = "de_DE.UTF-8"}, "ja"},
        {{.language = ":fr:ja", .lcAll = "", .lcMessages = "", .lang = "ja_JP.UTF-8"}, "fr"},
        {{.language = "", .lcAll = "de_DE.UTF-8", .lcMessages = "ja_JP.UTF-8", .lang = "ja_JP.UTF-8"}, "de"},
        {{.language = "", .lcAll = "", .lcMessages = "ja_JP.eucJP", .lang = "en_GB.UTF-8"}, "ja"},
        {{.language = "", .lcAll = "", .lcMessages = "", .lang = "ja_JP.UTF-8"}, "ja"},
        {{.language = "", .lcAll = "", .lcMessages = "", .lang = "sr_RS@latin"}, "sr"},
        {{.language = "", .lcAll = "C.UTF-8", .lcMessages = "", .lang = "ja_JP.UTF-8"}, ""},
        {{.language = "", .lcAll = "", .lcMessages = "", .lang = "POSIX"}, ""},
        {{.language = "", .lcAll = "", .lcMessages = "", .lang = ""}, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(uiLanguage(row.variables), row.language)
            << qPrintable(row.variables.language + u' ' + row.variables.lcAll + u' ' +
                          row.variables.lcMessages + u' ' + row.variables.lang);
    }
}

} // namespace
} // namespace quorvex
