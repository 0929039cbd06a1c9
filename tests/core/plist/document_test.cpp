#include "core/plist/base64.h"
#include "core/plist/date_text.h"
#include "core/plist/document.h"

#include <gtest/gtest.h>

namespace platter::plist {
namespace {

TEST(DocumentBuilder, NestedContainersKeepTheirOwnChildrenAndKeys) {
    DocumentBuilder b;
    ASSERT_TRUE(b.beginDict());
    b.key("Tracks");
    b.beginDict();
    b.key("1");
    b.beginDict();
    b.key("Name");
    b.string("One");
    b.key("Total Time");
    b.integer(1500);
    b.end();
    b.key("2");
    b.beginDict();
    b.key("Name");
    b.string("Two");
    b.end();
    b.end();
    b.key("Playlists");
    b.beginArray();
    b.boolean(true);
    b.real(0.5);
    b.end();
    b.key("After");
    b.string("last");
    ASSERT_TRUE(b.end());
    const auto doc = b.finish();
    ASSERT_TRUE(doc);

    const auto root = doc->root();
    ASSERT_EQ(root.size(), 3u);
    EXPECT_EQ(root.keyAt(0), "Tracks");
    EXPECT_EQ(root.keyAt(2), "After");
    const auto tracks = root.find("Tracks");
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks.keyAt(1), "2");
    EXPECT_EQ(*tracks.at(0).stringFor("Name"), "One");
    EXPECT_EQ(*tracks.at(0).integerFor("Total Time"), 1500);
    EXPECT_EQ(*tracks.at(1).stringFor("Name"), "Two");
    EXPECT_FALSE(tracks.at(1).integerFor("Total Time"));
    EXPECT_FALSE(tracks.at(1).integerFor("Name")) << "typed lookups are strict";
    const auto lists = root.find("Playlists");
    EXPECT_TRUE(lists.at(0).boolean());
    EXPECT_EQ(lists.at(1).real(), 0.5);
    EXPECT_EQ(*root.stringFor("After"), "last");
    EXPECT_FALSE(root.find("Missing").valid());
}

TEST(DocumentBuilder, LaterDuplicateKeyWins) {
    DocumentBuilder b;
    b.beginDict();
    b.key("k");
    b.integer(1);
    b.key("k");
    b.integer(2);
    b.end();
    EXPECT_EQ(*b.finish()->root().integerFor("k"), 2);
}

TEST(DocumentBuilder, RefusesMalformedEventStreams) {
    {
        DocumentBuilder b; // a value in a dictionary needs a key
        b.beginDict();
        EXPECT_FALSE(b.string("x"));
        EXPECT_FALSE(b.finish());
    }
    {
        DocumentBuilder b; // keys belong in dictionaries only
        b.beginArray();
        EXPECT_FALSE(b.key("x"));
    }
    {
        DocumentBuilder b; // a key without its value
        b.beginDict();
        b.key("x");
        EXPECT_FALSE(b.end());
    }
    {
        DocumentBuilder b; // two roots
        b.string("a");
        EXPECT_FALSE(b.string("b"));
    }
    {
        DocumentBuilder b; // unclosed
        b.beginArray();
        EXPECT_FALSE(b.finish());
    }
    {
        DocumentBuilder b;
        EXPECT_FALSE(b.end());
        EXPECT_FALSE(DocumentBuilder().finish()) << "no value at all";
    }
}

TEST(DocumentBuilder, BoundsNesting) {
    DocumentBuilder b;
    for (std::size_t i = 0; i < DocumentBuilder::maxDepth; ++i)
        ASSERT_TRUE(b.beginArray());
    EXPECT_FALSE(b.beginArray());
    EXPECT_TRUE(b.failed());
}

TEST(DocumentBuilder, KeepsSixtyFourBitIntegersAndLargeUnsignedOnes) {
    DocumentBuilder b;
    b.beginArray();
    b.integer(INT64_MIN);
    b.integer(-1);
    b.unsignedInteger(static_cast<std::uint64_t>(INT64_MAX));
    b.unsignedInteger(UINT64_MAX);
    b.end();
    const auto doc = b.finish();
    const auto a = doc->root();
    EXPECT_EQ(a.at(0).integer(), INT64_MIN);
    EXPECT_EQ(a.at(1).integer(), -1);
    EXPECT_FALSE(a.at(2).integerIsUnsigned());
    EXPECT_EQ(a.at(2).integer(), INT64_MAX);
    EXPECT_TRUE(a.at(3).integerIsUnsigned());
    EXPECT_EQ(static_cast<std::uint64_t>(a.at(3).integer()), UINT64_MAX);
}

TEST(DocumentBuilder, TextLargerThanAPoolPageSurvives) {
    const std::string big(3 << 20, 'x');
    DocumentBuilder b;
    b.beginArray();
    b.string("small");
    b.string(big);
    b.string("after");
    b.end();
    const auto doc = b.finish();
    const auto a = doc->root();
    EXPECT_EQ(a.at(0).string(), "small");
    EXPECT_EQ(a.at(1).string(), big);
    EXPECT_EQ(a.at(2).string(), "after");
}

TEST(DateText, RoundTripsDatesFarOutsideThirtyTwoBitSeconds) {
    for (const char* text :
         {"1970-01-01T00:00:00Z", "2001-01-01T00:00:00Z", "1850-06-15T12:30:45Z", "1900-02-28T23:59:59Z",
          "2000-02-29T00:00:00Z", "2100-12-31T23:59:59Z", "0001-01-01T00:00:00Z", "9999-12-31T23:59:59Z"}) {
        const auto d = parseDate(text);
        ASSERT_TRUE(d) << text;
        EXPECT_EQ(formatDate(*d), text);
    }
    EXPECT_EQ(parseDate("2001-01-01T00:00:00Z")->seconds, 978307200);
    EXPECT_EQ(parseDate("1969-12-31T23:59:59Z")->seconds, -1);
    EXPECT_EQ(parseDate("  1970-01-01T00:00:01Z\n")->seconds, 1);
    for (const char* bad :
         {"", "2001-13-01T00:00:00Z", "2001-01-01 00:00:00Z", "2001-01-01T00:00:00", "20O1-01-01T00:00:00Z"})
        EXPECT_FALSE(parseDate(bad)) << bad;
}

TEST(Base64, DecodesAcrossWhiteSpaceAndRoundTrips) {
    EXPECT_EQ(*decodeBase64("aGVs\n\tbG8="), "hello");
    EXPECT_EQ(*decodeBase64(""), "");
    EXPECT_FALSE(decodeBase64("aGVs*G8="));
    EXPECT_FALSE(decodeBase64("aG=Vs")) << "nothing may follow padding";
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (std::size_t n = 0; n < 5; ++n)
        EXPECT_EQ(*decodeBase64(encodeBase64(all.substr(n))), all.substr(n));
}

} // namespace
} // namespace platter::plist
