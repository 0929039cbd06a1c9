#include "core/store/catalogue_query.h"
#include "support/fake_catalogue.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

TEST(QueryValue, KeepsOnlyTheUnreservedSetAndWritesSpacesAsPlus) {
    const std::string kept = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    for (int c = 1; c < 128; ++c) {
        const std::string one(1, static_cast<char>(c));
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", c);
        const auto expected = c == ' '                              ? "+"
                              : kept.find(one) != std::string::npos ? one
                                                                    : std::string(escaped);
        EXPECT_EQ(encodeQueryValue(one), expected) << "character " << c;
    }
    EXPECT_EQ(encodeQueryValue("simon & garfunkel"), "simon+%26+garfunkel");
    EXPECT_EQ(encodeQueryValue("björk 100%"), "bj%C3%B6rk+100%25")
        << "every UTF-8 byte, and the percent sign";
    EXPECT_EQ(catalogueAddress("https://cat.test", "/search", {{"term", "a+b=c#d"}, {"country", "us"}}),
              "https://cat.test/search?term=a%2Bb%3Dc%23d&country=us")
        << "a value cannot end its parameter or start a fragment";
    EXPECT_EQ(catalogueAddress("https://cat.test", "/lookup", {}), "https://cat.test/lookup");
}

TEST(ReplyReader, ReadsTheServicesLayout) {
    const auto body = testing::serviceLayout({
        R"({"wrapperType":"artist", "artistId":909253, "artistViewUrl":"https://x/artist/909253", "amgArtistId":-3})",
        R"({"collectionName":"Say \"Hi\", \"There\"", "collectionPrice":9.99, "isStreamable":true, "copyright":null, )"
        "\n"
        R"("previewUrl":"https:\/\/x\/p.m4a", "trackNumber":7})",
        R"({})",
    });
    const auto records = readResults(body);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 3u) << "in reply order, one per object";
    EXPECT_EQ((*records)[0].stringDict.at("wrapperType"), "artist") << "the first key is read whole";
    EXPECT_EQ((*records)[0].intDict.at("artistId"), 909253);
    EXPECT_EQ((*records)[0].intDict.at("amgArtistId"), -3);
    const auto& second = (*records)[1];
    EXPECT_EQ(second.stringDict.at("collectionName"), "Say \"Hi\", \"There\"") << "escapes decoded, not cut";
    EXPECT_EQ(second.stringDict.at("previewUrl"), "https://x/p.m4a");
    EXPECT_EQ(second.boolDict.at("isStreamable"), true);
    EXPECT_EQ(second.intDict.at("trackNumber"), 7);
    EXPECT_FALSE(second.intDict.contains("collectionPrice")) << "fractions are in no table";
    EXPECT_FALSE(second.stringDict.contains("copyright")) << "null is in no table";
    EXPECT_EQ(second.stringDict.size() + second.intDict.size() + second.boolDict.size(), 4u);
    EXPECT_TRUE((*records)[2].stringDict.empty());
}

TEST(ReplyReader, OnlyTopLevelPairsOfAnyLayout) {
    const auto records = readResults(R"({"results":[{"a":1,"nested":{"artistId":5,"b":"x"},"list":[1,2],)"
                                     R"("big":12345678901234567890,"c":"ok"}]})");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].intDict, (std::map<std::string, std::int64_t>{{"a", 1}}))
        << "nothing leaks from nested values; out of 64-bit range is left out";
    EXPECT_EQ((*records)[0].stringDict, (std::map<std::string, std::string>{{"c", "ok"}}));

    EXPECT_EQ(readResults("\n\n\n{\n \"resultCount\":0,\n \"results\": []\n}\n\n\n")->size(), 0u);
    EXPECT_EQ(readResults("{}")->size(), 0u) << "no results marker: an empty answer";
    EXPECT_FALSE(readResults("")) << "no JSON: a failure";
    EXPECT_FALSE(readResults("<html>Service Unavailable</html>"));
    EXPECT_FALSE(readResults("[1,2]"));
}

} // namespace
} // namespace platter
