#include "core/shuffle/shuffle.h"
#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

// Names of the songs of each unit, in unit order.
std::vector<std::vector<std::string>> unitSongs(const MyPlaylist& p) {
    std::vector<std::vector<std::string>> out;
    for (const auto& u : p.units) {
        out.emplace_back();
        for (const auto& s : u->songs())
            out.back().emplace_back(s->name());
    }
    return out;
}

class Units : public ::testing::Test {
protected:
    void SetUp() override {
        h.useLibrary(testing::libraryValue(
            {
                {1, "1-2", "Big", "X", {}, 1, 2},
                {2, "1-1", "Big", "X", {}, 1, 1},
                {3, "2-1", "Big", "X", {}, 2, 1},
                {4, "2-2", "Big", "X", {}, 2, 2},
                {5, "3-1", "Big", "X", {}, 3, 1},
                {6, "s1", "Small", "Y", {}, {}, 1},
                {7, "s2", "Small", "Y", {}, {}, 2},
            },
            {{"P", "Without disc 3", {6, 1, 2, 3, 4, 7}}}));
        h.launch();
    }
    MyAlbum& big() { return *h.app->library().albumDict.at("Big\tX"); }
    MyPlaylist& all() { return *h.app->allPlaylists()[0]; }
    AppHarness h;
};

TEST_F(Units, WholeAlbumIsOneUnitDiscByDiscInTrackOrder) {
    buildUnits(all(), 700, h.random);
    EXPECT_EQ(unitSongs(all()),
              (std::vector<std::vector<std::string>>{{"1-1", "1-2", "2-1", "2-2", "3-1"}, {"s1", "s2"}}));
    for (const auto& u : all().units)
        EXPECT_LT(u->num(), 700u);
}

TEST_F(Units, SplitIntoSongsWhateverTheSingleEntry) {
    for (const AlbumSetting& setting : {AlbumSetting::songs(), AlbumSetting::fromStored({{5, false}})}) {
        big().setting() = setting;
        buildUnits(all(), 700, h.random);
        EXPECT_EQ(unitSongs(all()), (std::vector<std::vector<std::string>>{
                                        {"1-1"}, {"1-2"}, {"2-1"}, {"2-2"}, {"3-1"}, {"s1", "s2"}}));
    }
}

TEST_F(Units, SplitIntoDiscsWithOneDiscIntoSongsAndEmptyDiscsGivingNothing) {
    big().setting() = AlbumSetting::discs({{1, false}, {2, true}, {3, false}});
    buildUnits(all(), 700, h.random);
    EXPECT_EQ(unitSongs(all()), (std::vector<std::vector<std::string>>{
                                    {"1-1", "1-2"}, {"2-1"}, {"2-2"}, {"3-1"}, {"s1", "s2"}}));
    auto& p = h.playlist("P");
    buildUnits(p, p.unitRange(), h.random);
    EXPECT_EQ(unitSongs(p),
              (std::vector<std::vector<std::string>>{{"1-1", "1-2"}, {"2-1"}, {"2-2"}, {"s1", "s2"}}))
        << "disc 3 holds none of the playlist's songs";
    big().setting() = AlbumSetting::discs({{1, true}, {2, true}, {3, true}});
    buildUnits(p, p.unitRange(), h.random);
    EXPECT_EQ(p.units.size(), 5u);
}

TEST_F(Units, AMissingDiscEntryPlaysThatDiscWhole) {
    big().setting() = AlbumSetting::discs({{1, true}, {7, true}});
    buildUnits(all(), 700, h.random);
    EXPECT_EQ(unitSongs(all()), (std::vector<std::vector<std::string>>{
                                    {"1-1"}, {"1-2"}, {"2-1", "2-2"}, {"3-1"}, {"s1", "s2"}}));
}

TEST_F(Units, NumbersStayBelowTheRange) {
    big().setting() = AlbumSetting::songs();
    EXPECT_EQ(h.playlist("P").unitRange(), 600u);
    for (int round = 0; round < 50; ++round) {
        buildUnits(all(), 3, h.random);
        for (const auto& u : all().units)
            EXPECT_LT(u->num(), 3u);
    }
}

TEST(SeededRandom, IsUniformAndReproducible) {
    SeededRandom a(7), b(7);
    std::vector<int> counts(6);
    for (int i = 0; i < 60000; ++i) {
        const auto x = a.uniform(6);
        ASSERT_EQ(x, b.uniform(6));
        ++counts[x];
    }
    for (const int c : counts)
        EXPECT_NEAR(c, 10000, 400);
    EXPECT_EQ(a.uniform(0), 0u);
    EXPECT_EQ(a.uniform(1), 0u);
}

} // namespace
} // namespace platter
