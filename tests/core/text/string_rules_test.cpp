#include "core/text/string_rules.h"
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

} // namespace
} // namespace platter
