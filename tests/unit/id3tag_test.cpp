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

QByteArray tagBlock(const QByteArray& identifier, const QByteArray& title, const QByteArray& artist,
                    const QByteArray& album) {
    QByteArray block = identifier + title + artist + album;
    block += QByteArray(128 - block.size(), '\0'); // year, comment, genre
    return block;
}

class Id3TagTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& contents) const {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return file.fileName();
    }

    QTemporaryDir folder;
};

TEST_F(Id3TagTest, ReadsTitleArtistAndAlbumFromTheLast128Bytes) {
    const QByteArray tag = tagBlock("TAG", field("Some Song Title", ' '), field("The Band"), field("Live"));
    const struct {
        const char* name;
        QByteArray contents;
    } files[] = {
        {"audio.mp3", QByteArray(5000, '\x55') + tag},
        {"only-tag.mp3", tag}, // exactly 128 bytes: the tag starts at the first byte
        {"tag-inside.mp3", QByteArray(10, '\x01') + tag + QByteArray(3, '\x02') +
                               tagBlock("TAG", field("Last"), field(""), field(""))},
    };
    const std::optional<Id3Tag> audio = readId3v1(write(files[0].name, files[0].contents));
    ASSERT_TRUE(audio.has_value());
    EXPECT_EQ(audio->title, "Some Song Title") << "trailing spaces go";
    EXPECT_EQ(audio->artist, "The Band");
    EXPECT_EQ(audio->album, "Live");

    const std::optional<Id3Tag> onlyTag = readId3v1(write(files[1].name, files[1].contents));
    ASSERT_TRUE(onlyTag.has_value());
    EXPECT_EQ(onlyTag->title, "Some Song Title");

    const std::optional<Id3Tag> last = readId3v1(write(files[2].name, files[2].contents));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->title, "Last") << "only the last 128 bytes count";
}

TEST_F(Id3TagTest, FieldsEndAtTheFirstNulAndLoseTrailingSpaces) {
    struct TitleCase {
        QByteArray title;
        const char* shown;
    };
    const std::vector<TitleCase> cases{
        {field("Hello", ' '), "Hello"},
        {field("Hello", '\0'), "Hello"},
        {field("Hello  ", '\0'), "Hello"},
        {field("  Hello"), "  Hello"},
        {field(QByteArray("Hi\0there", 8)), "Hi"},
        {field("Caf\xE9 \x80"), "Café €"},
        {QByteArray(30, 'x'), "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {field(""), ""},
    };
    for (const auto& row : cases) {
        const std::optional<Id3Tag> tag =
            readId3v1(write(QStringLiteral("t.mp3"), tagBlock("TAG", row.title, field("a"), field("b"))));
        ASSERT_TRUE(tag.has_value());
        EXPECT_EQ(tag->title, QString::fromUtf8(row.shown)) << row.title.toHex().toStdString();
    }
}

TEST_F(Id3TagTest, FilesWithoutATagHaveNone) {
    const QByteArray good = tagBlock("TAG", field("x"), field("y"), field("z"));
    const struct {
        const char* name;
        QByteArray contents;
    } cases[] = {
        {"empty.mp3", QByteArray()},
        {"short.mp3", good.left(127)},
        {"lower.mp3", tagBlock("tag", field("x"), field("y"), field("z"))},
        {"mixed.mp3", tagBlock("TaG", field("x"), field("y"), field("z"))},
        {"shifted.mp3", good + "!"},
        {"text.mp3", QByteArray("this is not audio at all\n").repeated(20)},
    };
    for (const auto& row : cases) {
        EXPECT_FALSE(readId3v1(write(row.name, row.contents)).has_value()) << row.name;
    }
    EXPECT_FALSE(readId3v1(folder.filePath("missing.mp3")).has_value());
    EXPECT_FALSE(readId3v1(folder.path()).has_value()) << "a directory";
    EXPECT_FALSE(readId3v1(QString()).has_value());
}

} // namespace
} // namespace quorvex
