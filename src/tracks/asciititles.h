#pragma once

#include <memory>
#include <QString>
#include <unicode/uversion.h>

// ICU's namespace is versioned ("icu" names "icu_72"); its own macros declare into it.
U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace quorvex {

// Titles the recorder's display can show: any script written in Latin letters, then the letters' plain ASCII
// forms (ICU's "Any-Latin; Latin-ASCII": "Tårarna" gives "Tararna", "Сплин" "Splin", "東京" "dong jing").
// What still has no printable ASCII form becomes "?". Building the transliterator takes a while, so one
// object serves many titles.
class AsciiTitles final {
public:
    AsciiTitles();
    ~AsciiTitles();
    AsciiTitles(const AsciiTitles&) = delete;
    AsciiTitles& operator=(const AsciiTitles&) = delete;
    AsciiTitles(AsciiTitles&&) = delete;
    AsciiTitles& operator=(AsciiTitles&&) = delete;

    [[nodiscard]] QString operator()(const QString& title) const;

private:
    // None when ICU cannot build it (its data missing): then only the "?" rule applies.
    std::unique_ptr<icu::Transliterator> toAscii;
};

} // namespace quorvex
