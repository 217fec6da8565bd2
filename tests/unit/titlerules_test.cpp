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

TEST(TitleRules, Mp3InAnyLetterCaseAndEntriesWithExactlyOneSeparator) {
    const struct {
        const char* path;
        bool mp3;
    } cases[] = {{"/a/b.mp3", true},  {"/a/b.MP3", true},  {"/a/b.Mp3", true},  {"/a/b.mP3", true},
                 {"xmp3", true},      {"/a/b.wav", false}, {"/a/b.wma", false}, {"/a/b.mp3 ", false},
                 {"/a/b.mp4", false}, {"", false},         {"mp", false}};
    for (const auto& row : cases) {
        EXPECT_EQ(isMp3Path(QString::fromLatin1(row.path)), row.mp3) << row.path;
    }
    EXPECT_EQ(trackListEntry("/", "song.mp3"), "/song.mp3");
    EXPECT_EQ(trackListEntry("/home/me/Music", "song.mp3"), "/home/me/Music/song.mp3");
    EXPECT_EQ(trackListEntry("/media/usb/", "a b.wav"), "/media/usb/a b.wav");
}

} // namespace
} // namespace quorvex
