#include "support/app_harness.h"

#include <algorithm>
#include <map>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::persistentIDOf;

std::vector<std::string> names(std::span<const SongPtr> songs) {
    std::vector<std::string> out;
    for (const auto& s : songs)
        out.emplace_back(s->name());
    return out;
}

std::vector<std::vector<std::string>> unitContents(const MyPlaylist& p) {
    std::vector<std::vector<std::string>> out;
    for (const auto& u : p.units)
        out.push_back(names(u->songs()));
    std::sort(out.begin(), out.end());
    return out;
}

class Shuffle : public ::testing::Test {
protected:
    void SetUp() override {
        path = h.useLibrary(testing::libraryValue({{1, "a1", "A", "X", {}, 1, 1},
                                                   {2, "a2", "A", "X", {}, 1, 2},
                                                   {3, "b1", "B", "X", {}, 1, 1},
                                                   {4, "c1", "C", "X", {}, 1, 1},
                                                   {5, "c2", "C", "X", {}, 2, 1}},
                                                  {{"P", "Three albums", {1, 2, 3, 4, 5}}}));
        h.launch();
        h.app->changePlaylistWithRow(1);
    }
    MyPlaylist& p() { return h.playlist("P"); }
    std::filesystem::path path;
    AppHarness h;
};

TEST_F(Shuffle, OrdersUnitsByTheirNumbersAndStoresTheOrder) {
    // Albums in sort order A, B, C draw 200, 7 and 120 of the range 500.
    h.random.next = {200, 7, 120};
    h.app->showPlaylist();
    EXPECT_EQ(names(p().shuffledSongs), (std::vector<std::string>{"b1", "c1", "c2", "a1", "a2"}));
    EXPECT_EQ(h.random.bounds, (std::vector<std::uint32_t>{500, 500, 500}));
    EXPECT_FALSE(h.app->configuring());
    EXPECT_EQ(h.view.calls.back(), "mode 2");
    const auto order = h.storedOrder("P");
    ASSERT_TRUE(order);
    ASSERT_EQ(order->size(), 5u);
    EXPECT_EQ(order->front(), persistentIDOf(3));
}

TEST_F(Shuffle, ReshuffleReusesUnitsUntilASettingChanges) {
    h.app->showPlaylist();
    const auto before = unitContents(p());
    h.app->reshuffle();
    EXPECT_EQ(unitContents(p()), before) << "the same units, in another order";
    EXPECT_EQ(h.view.calls.back(), "main");

    h.app->library().albumDict.at("C\tX")->setting() = AlbumSetting::discs({{1, false}, {2, false}});
    h.app->save();
    h.app->reshuffle();
    EXPECT_EQ(p().units.size(), 4u) << "rebuilt from the new settings";
    EXPECT_EQ(p().shuffleVersion, 1);
}

TEST_F(Shuffle, ShowingAnAlreadyShuffledPlaylistKeepsItsOrder) {
    h.app->showPlaylist();
    const auto order = names(p().shuffledSongs);
    h.app->backToConfig();
    EXPECT_TRUE(h.app->configuring());
    EXPECT_EQ(h.view.calls.back(), "mode 1");
    h.app->library().albumDict.at("A\tX")->setting() = AlbumSetting::songs();
    h.app->showPlaylist();
    EXPECT_EQ(names(p().shuffledSongs), order);
    EXPECT_EQ(p().units.size(), 3u);
}

TEST_F(Shuffle, OrderAndPositionComeBackAtTheNextStart) {
    h.app->showPlaylist();
    const auto order = names(p().shuffledSongs);
    // A position as playback would have stored it.
    h.storePositions({{"P", 3}});
    h.launch();
    EXPECT_EQ(names(p().shuffledSongs), order);
    EXPECT_EQ(p().playingNum, 3);

    h.app->changePlaylistWithRow(1);
    h.app->reshuffle();
    EXPECT_FALSE(h.storedPositions().contains("P")) << "a new order starts at its first song";
    EXPECT_FALSE(h.storedPositions().contains("P"));
    h.launch();
    EXPECT_EQ(p().playingNum, 0);
}

TEST_F(Shuffle, SelectionAndItsRefreshes) {
    auto& app = *h.app;
    EXPECT_EQ(h.view.calls.back(), "mode 1");
    EXPECT_EQ(app.playlistNumber(), 1u);
    app.changePlaylistWithRow(-1);
    EXPECT_FALSE(app.playlistNumber());
    EXPECT_EQ(h.view.calls.back(), "mode 0");
    app.changePlaylistWithRow(7);
    EXPECT_FALSE(app.playlistNumber()) << "a row past the end selects nothing";
    const auto calls = h.view.calls.size();
    app.showPlaylist();
    app.reshuffle();
    app.exportPlaylist();
    EXPECT_EQ(h.view.calls.size(), calls) << "without a selection these do nothing";
    EXPECT_TRUE(h.dialogs.exportPanels.empty());
}

TEST_F(Shuffle, SortsAlbumsForTheOutline) {
    auto& list = p();
    const auto order = [&] {
        std::string s;
        for (const auto& a : list.albums())
            s += a->albumName();
        return s;
    };
    list.sortAlbumsWithFirstAlbum(true, false);
    EXPECT_EQ(order(), "CBA");
    EXPECT_FALSE(list.ascending);
    list.sortAlbumsWithFirstAlbum(false, true);
    EXPECT_EQ(order(), "ABC") << "one artist: the album name decides";
    EXPECT_FALSE(list.sortAlbum);
}

// Rediscover, on one-song albums: "old" last played 10 days ago, "recent" 1 day ago, and two
// never played.
class Rediscover : public ::testing::Test {
protected:
    void SetUp() override {
        const auto played = [&](std::int64_t daysAgo) {
            return plist::Dict{{"Play Date UTC", plist::Date{h.clock - daysAgo * 86400}}};
        };
        h.useLibrary(testing::libraryValue({{1, "old", "A", "X", {}, {}, {}, 200000, played(10)},
                                            {2, "recent", "B", "X", {}, {}, {}, 200000, played(1)},
                                            {3, "never", "C", "X"},
                                            {4, "never2", "D", "X"}},
                                           {{"P", "Four", {1, 2, 3, 4}}}));
        h.launch();
        h.app->changePlaylistWithRow(1);
    }
    // How often each song came first, and how often "old" came before "recent", in `draws` shuffles.
    std::map<std::string, int> tally(int draws) {
        std::map<std::string, int> counts;
        for (int i = 0; i < draws; ++i) {
            h.app->reshuffle();
            const auto order = names(h.playlist("P").shuffledSongs);
            ++counts[order[0]];
            const auto at = [&](const char* n) { return std::find(order.begin(), order.end(), n) - order.begin(); };
            if (at("never") > 1 || at("never2") > 1) ++counts["never-played late"];
            if (at("old") < at("recent")) ++counts["old before recent"];
        }
        return counts;
    }
    AppHarness h;
};

TEST_F(Rediscover, NeverPlayedLeadThenTheLongestUnheardComeFirstByWeight) {
    h.app->setOwnShuffleMode(h.playlist("P"), ShuffleMode::Rediscover);
    const auto counts = tally(2000);
    EXPECT_EQ(counts.count("never-played late"), 0u);
    EXPECT_NEAR(counts.at("never"), 1000, 100) << "uniform among the never played";
    // Weights 10 to 1: old leads recent in 10 of 11 draws.
    EXPECT_NEAR(counts.at("old before recent"), 2000 * 10 / 11, 60);

    // Uniform again: every song leads about as often, and "old" has no edge.
    h.app->setOwnShuffleMode(h.playlist("P"), std::nullopt);
    const auto uniform = tally(2000);
    EXPECT_NEAR(uniform.at("old"), 500, 80);
    EXPECT_NEAR(uniform.at("old before recent"), 1000, 100);
}

TEST_F(Rediscover, ThePlaylistsOwnModeOverridesThePreferencesAndBothAreKept) {
    auto& p = h.playlist("P");
    EXPECT_EQ(h.app->shuffleModeOf(p), ShuffleMode::Uniform) << "the default";
    plist::set(h.settings.values, "shuffleMode", std::string("rediscover"));
    h.launch();
    EXPECT_EQ(h.app->shuffleModeOf(h.playlist("P")), ShuffleMode::Rediscover);
    h.app->setOwnShuffleMode(h.playlist("P"), ShuffleMode::Uniform);
    h.launch();
    EXPECT_EQ(h.app->shuffleModeOf(h.playlist("P")), ShuffleMode::Uniform);
    EXPECT_EQ(h.app->ownShuffleMode(h.playlist("P")), ShuffleMode::Uniform);

    // Values no version wrote read as the defaults, and the rest of the file still counts.
    plist::set(h.settings.values, "shuffleMode", std::int64_t{7});
    plist::set(h.settings.values, "playlistShuffleModes",
               plist::Dict{{"P", std::string("loud")}, {"Q", std::string("rediscover")}});
    h.launch();
    EXPECT_EQ(h.app->shuffleModeOf(h.playlist("P")), ShuffleMode::Uniform);
    EXPECT_EQ(h.app->ownShuffleMode(h.playlist("P")), std::nullopt);
}

} // namespace
} // namespace platter
