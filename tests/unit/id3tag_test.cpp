#include "tracks/id3tag.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace quorvex {
namespace {

// A 30-byte tag field: the text, then `fill` up to 30 bytes.
QByteArray field(const QByteArray& text, char fill = '\0') {
    return text + QByteArray(30 - text.size(), fill);
}

QByteArray tagBlock(const QByteArray& title, const char* identifier = "TAG") {
    const QByteArray block = identifier + title + field("The Band") + field("Live");
    return block + QByteArray(128 - block.size(), '\0'); // year, comment, genre
}

TEST(Id3Tag, TheLast128BytesGiveTitleArtistAndAlbumFieldsEndAtTheFirstNulAndLoseTrailingSpaces) {
    const QTemporaryDir folder;
    const QByteArray tag = tagBlock(field("Some Song Title", ' '));
    struct FileCase {
        QByteArray contents;
        const char* title; // nullptr: no tag
    };
    const std::vector<FileCase> cases{
        {QByteArray(5000, '\x55') + tag, "Some Song Title"},
        {tag, "Some Song Title"}, // exactly 128 bytes: the tag starts at the first byte
        {QByteArray(10, '\x01') + tag + QByteArray(3, '\x02') + tagBlock(field("Last")), "Last"},
        {tagBlock(field("Hello", '\0')), "Hello"},
        {tagBlock(field("Hello  ", '\0')), "Hello"},
        {tagBlock(field("  Hello")), "  Hello"},
        {tagBlock(field(QByteArray("Hi\0there", 8))), "Hi"},
        {tagBlock(field("Caf\xE9 \x80")), "Café €"},
        {tagBlock(QByteArray(30, 'x')), "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {tagBlock(field("")), ""},
        {QByteArray(), nullptr},
        {tag.left(127), nullptr},
        {tagBlock(field("x"), "tag"), nullptr},
        {tagBlock(field("x"), "TaG"), nullptr},
        {tag + "!", nullptr},
        {QByteArray("this is not audio at all\n").repeated(20), nullptr},
    };
    for (const FileCase& row : cases) {
        QFile file(folder.filePath("t.mp3"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.contents);
        file.close();
        const std::optional<Id3Tag> read = readId3v1(file.fileName());
        SCOPED_TRACE(row.contents.right(128).toHex().toStdString());
        ASSERT_EQ(read.has_value(), row.title != nullptr);
        if (read) {
            EXPECT_EQ(read->title, QString::fromUtf8(row.title));
            EXPECT_EQ(read->artist, "The Band");
            EXPECT_EQ(read->album, "Live");
        }
    }
    EXPECT_FALSE(readId3v1(folder.filePath("missing.mp3")).has_value());
    EXPECT_FALSE(readId3v1(folder.path()).has_value()) << "a directory";
    EXPECT_FALSE(readId3v1(QString()).has_value());
}

} // namespace
} // namespace quorvex
