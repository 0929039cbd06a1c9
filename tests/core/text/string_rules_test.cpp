#include "core/text/string_rules.h"
#include "core/text/text_search.h"
#include "platform/text/icu_unicode_rules.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

const IcuUnicodeRules icu;
const StringRules rules{icu};

TEST(StringRules, AsciiFastPathAgreesWithTheUnicodeTables) {
    // The fast path must give exactly what the full tables give, character by character.
    for (int c = 0; c < 128; ++c) {
        const std::string s(1, static_cast<char>(c));
        EXPECT_EQ(rules.sortKey(s), icu.sortKey(s)) << "character " << c;
    }
    EXPECT_EQ(rules.sortKey("the wall (remastered) - live, pt. 2!"), "THE WALL REMASTERED  LIVE PT 2");
    EXPECT_EQ(rules.sortKey("AC/DC's $100 + <tax> = ~ok|^`"), "ACDCS $100 + <TAX> = ~OK|^`");
}

TEST(StringRules, SortKeysUpperCaseFullyAndDropAllPunctuation) {
    EXPECT_EQ(rules.sortKey("straße"), "STRASSE") << "full upper-casing, not one-to-one";
    EXPECT_EQ(rules.sortKey("«Группа крови»"), "ГРУППА КРОВИ");
    EXPECT_EQ(rules.sortKey("¿Qué? ¡Sí! — “fin”…"), "QUÉ SÍ  FIN");
    EXPECT_EQ(rules.sortKey("istanbul"), "ISTANBUL") << "no locale takes part";
    EXPECT_EQ(rules.sortKey("Cafe\xCC\x81"), rules.sortKey("Café")) << "keys are composed";
    EXPECT_EQ(rules.sortKey("♥ €5"), "♥ €5") << "symbols stay";
}

TEST(StringRules, CanonicallyEquivalentStringsAreEqual) {
    const std::string composed = "Bj\xC3\xB6rk";    // ö as one code point
    const std::string decomposed = "Bjo\xCC\x88rk"; // o + combining diaeresis
    EXPECT_TRUE(rules.equal(composed, decomposed));
    EXPECT_EQ(rules.key(decomposed), composed);
    EXPECT_FALSE(rules.equal("abc", "ABC")) << "no case folding";
    EXPECT_FALSE(rules.equal("Bjork", composed));
    EXPECT_LT(std::string("Z"), std::string("a")) << "ASCII order: upper case before lower case";
}

TEST(StringRules, DetectsAsciiAtEveryPosition) {
    std::string s(40, 'a');
    EXPECT_TRUE(StringRules::isAscii(s));
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto t = s;
        t[i] = static_cast<char>(0xC3);
        EXPECT_FALSE(StringRules::isAscii(t)) << i;
    }
}

TEST(StringRules, SearchKeysSetCaseAccentsAndNormalisationAside) {
    for (int c = 0; c < 128; ++c) {
        const std::string s(1, static_cast<char>(c));
        EXPECT_EQ(rules.searchKey(s), icu.searchFolded(s)) << "character " << c;
    }
    EXPECT_EQ(rules.searchKey("Caf\xC3\xA9"), "cafe");
    EXPECT_EQ(rules.searchKey("CAFE\xCC\x81"), "cafe") << "decomposed";
    EXPECT_EQ(rules.searchKey("Bj\xC3\xB6rk"), rules.searchKey("BJO\xCC\x88RK"));
    EXPECT_EQ(rules.searchKey("Stra\xC3\x9F"
                              "e"),
              "strasse")
        << "full folding";
    EXPECT_EQ(rules.searchKey("\xC4\xB0stanbul"), "istanbul") << "no dot left over";
    EXPECT_EQ(rules.searchKey("\xEF\xBC\xB0\xEF\xBD\x8C"), "pl") << "full-width letters";
    EXPECT_EQ(rules.searchKey("\xCE\x86\xCE\xBB\xCF\x86\xCE\xB1"), "\xCE\xB1\xCE\xBB\xCF\x86\xCE\xB1");
    EXPECT_EQ(rules.searchKey("a\xE3\x80\x80"
                              "b\xC2\xA0"
                              "c"),
              "a b c")
        << "ideographic and no-break spaces";
    EXPECT_EQ(rules.searchKey("\xE3\x81\x8C"), rules.searchKey("\xE3\x81\x8B\xE3\x82\x99"));
}

TEST(TextSearch, EveryWordMatchesSomeFieldInAnyOrder) {
    std::string text;
    for (const char* field : {"Bj\xC3\xB6rk", "Homogenic", "", "J\xC3\xB3ga"})
        addSearchField(rules, text, field);
    const auto matches = [&](std::string_view query) { return TextSearch(rules, query).matches(text); };
    EXPECT_TRUE(matches("bjork joga"));
    EXPECT_TRUE(matches("  JOGA\tbjo\xCC\x88rk  ")) << "order, case, white space and NFD";
    EXPECT_TRUE(matches("og")) << "a part of a word";
    EXPECT_TRUE(matches("homo\xE3\x80\x80genic")) << "an ideographic space splits";
    EXPECT_FALSE(matches("bjork bach")) << "every word must match";
    EXPECT_FALSE(matches("rkhomo")) << "no word spans two fields";
    EXPECT_TRUE(matches("HOM\xC3\x96")) << "an accent the text lacks";
    EXPECT_TRUE(TextSearch(rules, " \t ").empty());
    EXPECT_TRUE(TextSearch(rules, "").matches(""));
}

} // namespace
} // namespace platter
