#pragma once

#include <functional>
#include <QString>
#include <vector>

namespace quorvex {

// One word of a title as the Japanese dictionary cut it, with what stood before it.
struct Morpheme {
    QString gap;          // the white space before it in the title
    QString text;         // as the title writes it
    QString reading;      // how it is said, in kana; empty for what is not Japanese (Latin, digits, signs)
    QString partOfSpeech; // the dictionary's class ("名詞", "助動詞") and subclass ("接尾", "接続助詞")
    QString subclass;
};

// The title again with each Japanese word replaced by its reading, spelled (`spell`, kana to lower-case
// Latin) a word at a time: words apart, inflections and suffixes kept with their word ("aishiteru", "ittara",
// "sakurazaka"), the title's white space and whatever is not Japanese as they were, and the title's first
// letter upper-case when a reading begins it.
[[nodiscard]] QString spacedWords(const std::vector<Morpheme>& morphemes,
                                  const std::function<QString(const QString&)>& spell);

} // namespace quorvex
