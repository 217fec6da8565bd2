#include "tracks/titlerules.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(TitleRules, TitleFromTheFileName) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/music/01_Some Song Title.mp3", "ome Song Title"},
        {"/music/Intro.wav", "Intro"},
        {"/My Music/A Very Long Song Name.wma", "Long Song Name"},
        {"/Rips/Track 5.mp3", "Track 5"},
        {"/x/01_Artist_Title.mp3", "Title"},
        {"/x/Song_.mp3", ""},
        {"/a.mp3", "a"},
        {"b.wav", "b"},
        {"C:\\music\\01_Some Song Title.mp3", "ome Song Title"},
        {"C:\\Rips\\Track 5.mp3", "Track 5"},
        {"/x/ spaced .mp3", " spaced "},
        {"/x/Fourteen chars.wav", "Fourteen chars"},
        {"/x/Fifteen chars!!.wav", "ifteen chars!!"},
        {"/x/.mp3", ""},
        {"mp3", ""},
        {"", ""},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(titleFromFileName(QString::fromLatin1(row.path)), QString::fromLatin1(row.title))
            << row.path;
    }
}

TEST(TitleRules, Mp3InAnyLetterCase) {
    for (const char* path : {"/a/b.mp3", "/a/b.MP3", "/a/b.Mp3", "/a/b.mP3", "xmp3"}) {
        EXPECT_TRUE(isMp3Path(QString::fromLatin1(path))) << path;
    }
    for (const char* path : {"/a/b.wav", "/a/b.wma", "/a/b.mp3 ", "/a/b.mp4", "", "mp"}) {
        EXPECT_FALSE(isMp3Path(QString::fromLatin1(path))) << path;
    }
}

TEST(TitleRules, EntriesGetExactlyOneSeparator) {
    EXPECT_EQ(trackListEntry("/", "song.mp3"), "/song.mp3");
    EXPECT_EQ(trackListEntry("/home/me/Music", "song.mp3"), "/home/me/Music/song.mp3");
    EXPECT_EQ(trackListEntry("/media/usb/", "a b.wav"), "/media/usb/a b.wav");
}

} // namespace
} // namespace quorvex
