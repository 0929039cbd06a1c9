#include "core/model/my_album.h"
#include "core/model/my_song.h"
#include "core/plist/xml_writer.h"
#include "core/text/string_rules.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

class SongTest : public ::testing::Test {
protected:
    // A song from a track dictionary, read back through the real reader.
    std::shared_ptr<MySong> song(plist::Dict track, std::int64_t totalTime = 1500) {
        const auto r = reader.parse(plist::writeXml(std::move(track)));
        EXPECT_TRUE(r.document) << r.error;
        const auto root = r.document->root();
        return std::make_shared<MySong>(
            7, root.stringFor("Name").value_or("n"), root.stringFor("Album").value_or(""), totalTime,
            TrackDict{r.document, root}, TrackReader(*r.document).read(root), rules);
    }
    PlistFileReader reader;
    IcuUnicodeRules icu;
    StringRules rules{icu};
};

TEST_F(SongTest, DefaultsForMissingOrWronglyTypedValues) {
    const auto s = song({{"Name", "n"},
                         {"Album", "A"},
                         {"Persistent ID", "ABC"},
                         {"Disc Number", "2"},
                         {"Compilation", 1},
                         {"Artist", 5}});
    EXPECT_EQ(s->discNumer(), 0) << "a disc number stored as text counts as absent";
    EXPECT_EQ(s->trackNumber(), 0);
    EXPECT_FALSE(s->compilation()) << "a compilation flag stored as a number counts as absent";
    EXPECT_EQ(s->artist(), "unknown");
    EXPECT_EQ(s->albumArtist(), "unknown");
    EXPECT_EQ(s->albumID(), "A\tunknown");
    EXPECT_EQ(s->persistentID(), "ABC");
    EXPECT_FALSE(s->url());
}

TEST_F(SongTest, CompilationWithoutAlbumArtistHasAnEmptyAlbumArtist) {
    const auto s = song(
        {{"Album", "Hits"}, {"Artist", "X"}, {"Compilation", true}, {"Track Number", 4}, {"Disc Number", 2}});
    EXPECT_EQ(s->albumArtist(), "");
    EXPECT_EQ(s->albumID(), "Hits\t");
    EXPECT_EQ(s->trackNumber(), 4);
    EXPECT_EQ(s->discNumer(), 2);
    EXPECT_EQ(song({{"Album", "Hits"}, {"Artist", "X"}})->albumArtist(), "X");
    EXPECT_EQ(song({{"Album", "Hits"}, {"Artist", "X"}, {"Album Artist", "Y"}})->albumID(), "Hits\tY");
}

TEST_F(SongTest, DurationIsMillisecondsOverAThousand) {
    EXPECT_DOUBLE_EQ(song({}, 1500)->duration(), 1.5);
    EXPECT_DOUBLE_EQ(song({}, 1)->duration(), 0.001);
}

TEST_F(SongTest, LocationIsKeptAsWrittenWhenItIsAUrl) {
    EXPECT_EQ(*song({{"Location", "file:///Music/My%20Song.mp3"}})->url(), "file:///Music/My%20Song.mp3");
    EXPECT_FALSE(song({{"Location", "not a url"}})->url());
    EXPECT_FALSE(song({{"Location", 3}})->url());
}

TEST_F(SongTest, AlbumIDIsComposedSoEquivalentSpellingsMatch) {
    const auto nfd = song({{"Album", "Jo\xCC\x81ga"}, {"Artist", "Bjo\xCC\x88rk"}});
    EXPECT_EQ(nfd->albumID(), "J\xC3\xB3ga\tBj\xC3\xB6rk");
    EXPECT_EQ(nfd->album(), "Jo\xCC\x81ga") << "the displayed name stays as written";
}

TEST_F(SongTest, UngroupedSongReportsOnePlaceholderAlbum) {
    const auto s = song({{"Album", "A"}});
    const auto first = s->myAlbum();
    EXPECT_EQ(first->albumName(), "");
    EXPECT_EQ(first->songs().size(), 0u);
    EXPECT_EQ(s->myAlbum(), first);
}

} // namespace
} // namespace platter
