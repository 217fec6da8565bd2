// Japanese titles in plain ASCII, as a Japanese listener reads them, through the titles the recorder gets;
// and the language the program runs in, from the locale's variables.
#include "platform/uilanguage.h"
#include "tracks/asciititles.h"
#include "tracks/tracktitles.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

enum class Program { any, japanese, other }; // the program's language a row is read in

TEST(JapaneseTitles, ReadInHepburnWithoutMacronsWordsApart) {
    TrackTitles inJapanese;
    inJapanese.setLanguage(QStringLiteral("ja"));
    inJapanese.setPlainAscii(true);
    TrackTitles inGerman;
    inGerman.setPlainAscii(true);
    inGerman.setLanguage(QStringLiteral("de"));
    using enum Program;
    // Songs, albums and artists, each written as a Japanese listener says it. Where MeCab's dictionary reads
    // it otherwise, the last column says what comes out, so a better reading shows here too.
    const struct {
        const char* title = nullptr;
        Program program = Program::any;
        const char* expected = nullptr;
        const char* misread = nullptr;
    } rows[] = {
        // clang-format off
        {"ありがとう", any, "Arigato"},
        {"さくらんぼ", any, "Sakuranbo"},
        {"チェリー", any, "Cheri"},
        {"スピッツ", any, "Supittsu"},
        {"ドラえもん", any, "Doraemon"},
        {"ハナミズキ", any, "Hanamizuki"},
        {"マリーゴールド", any, "Marigorudo"},
        {"ふるさと", any, "Furusato"},
        {"いきものがかり", any, "Ikimonogakari", "Iki mono ga kari"},
        {"あいみょん", any, "Aimyon", "A imi yon"},
        {"東京の夜", any, "Tokyo no yoru"},
        {"上を向いて歩こう", any, "Ue o muite aruko", "Ue o muite arukou"},
        {"世界に一つだけの花", any, "Sekai ni hitotsu dake no hana"},
        {"川の流れのように", any, "Kawa no nagare no yo ni"},
        {"残酷な天使のテーゼ", any, "Zankoku na tenshi no teze"},
        {"夜に駆ける", any, "Yoru ni kakeru"},
        {"赤いスイートピー", any, "Akai suitopi"},
        {"恋するフォーチュンクッキー", any, "Koisuru fochun kukki"},
        {"君の名は。", any, "Kimi no na wa."},
        {"宇多田ヒカル", any, "Utada hikaru"},
        {"中島みゆき", any, "Nakajima miyuki"},
        {"美空ひばり", any, "Misora hibari"},
        {"春よ、来い", any, "Haru yo, koi"},
        {"翼をください", any, "Tsubasa o kudasai"},
        {"負けないで", any, "Makenaide"},
        {"未来へ", any, "Mirai e"},
        {"会いたくて 会いたくて", any, "Aitakute aitakute"},
        {"時の流れに身をまかせ", any, "Toki no nagare ni mi o makase"},
        {"ロマンスの神様", any, "Romansu no kamisama"},
        {"ポケモン言えるかな？", any, "Pokemon ieru ka na?"},
        {"栄光の架橋", any, "Eiko no kakehashi", "Eiko no kakyo"},
        {"涙そうそう", any, "Nada soso", "Namidasou so"},
        {"夜空ノムコウ", any, "Yozora no muko", "Yozora nomukou"},
        {"ハレ晴レユカイ", any, "Hare hare yukai", "Hare hare reyukai"},
        {"もののけ姫", any, "Mononoke hime", "Mono noke hime"},
        {"大きな古時計", any, "Okina furudokei", "Okina kotokei"},
        {"東京", japanese, "Tokyo"},
        {"天体観測", japanese, "Tentai kansoku"},
        {"少年時代", japanese, "Shonen jidai"},
        {"椎名林檎", japanese, "Shiina ringo"},
        {"君が代", japanese, "Kimigayo"},
        {"桜坂", japanese, "Sakurazaka"},
        {"異邦人", japanese, "Ihojin"},
        {"学園天国", japanese, "Gakuen tengoku"},
        {"千本桜", japanese, "Senbonzakura", "Senbon sakura"},
        {"米津玄師", japanese, "Yonezu kenshi", "Yonetsu genshi"},
        {"粉雪", japanese, "Konayuki", "Koyuki"},
        {"東京", other, "dong jing"},
        {"天体観測", other, "tian ti guan ce"},
        {"千本桜", other, "qian ben ying"},
        {"LOVEマシーン", any, "LOVE mashin"},
        {"1/3の純情な感情", any, "1/3 no junjo na kanjo"},
        {"WAになっておどろう", any, "WA ni natte odoro", "WA ni natte odorou"},
        {"Hello, Again ～昔からある場所～", any, "Hello, Again ~mukashi kara aru basho~"},
        {"シーソーゲーム ～勇敢な恋の歌～", any, "Shisogemu ~yukan na koi no uta~"},
        {"secret base ～君がくれたもの～", any, "secret base ~kimi ga kureta mono~", "secret base ~kun ga kureta mono~"},
        {"3月9日", japanese, "3 gatsu 9 ka", "3 tsuki 9 nichi"},
        {"ﾄﾞﾗｺﾞﾝｸｴｽﾄ", any, "Doragon kuesuto"},
        {"ｽﾋﾟｯﾂ", any, "Supittsu"},
        {"ﾓｰﾆﾝｸﾞ娘｡", any, "Moningu musume."},
        {"ｶﾞﾝﾀﾞﾑ", any, "Gandamu", "Gan damu"},
        {"ラブ・ストーリーは突然に", any, "Rabu sutori wa totsuzen ni"},
        {"ルージュの伝言", any, "Ruju no dengon"},
        {"ギザギザハートの子守唄", any, "Gizagiza hato no komoriuta", "Gizagizahato no komoriuta"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const QString title = QString::fromUtf8(row.title);
        const QString comes = QString::fromUtf8(row.misread != nullptr ? row.misread : row.expected);
        if (row.program != other) {
            EXPECT_EQ(inJapanese.titleText(title), comes) << row.title << " in Japanese";
        }
        if (row.program != japanese) {
            EXPECT_EQ(inGerman.titleText(title), comes) << row.title << " in German";
        }
    }
}

TEST(JapaneseTitles, WithoutTheDictionaryIcuReadsThemAndWithoutPlainTitlesTheyStay) {
    AsciiTitles withoutDictionary(QStringLiteral("/nonexistent/ipadic"));
    withoutDictionary.setJapaneseProgram(true);
    EXPECT_EQ(withoutDictionary(QString::fromUtf8("東京の夜")), "dong jingno ye");
    EXPECT_EQ(withoutDictionary(QString::fromUtf8("ｱﾆﾒ")), "anime");
    TrackTitles unchanged;
    unchanged.setLanguage(QStringLiteral("ja"));
    EXPECT_EQ(unchanged.titleText(QString::fromUtf8("東京の夜")), QString::fromUtf8("東京の夜"));
}

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
