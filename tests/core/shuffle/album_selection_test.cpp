#include "core/shuffle/album_selection.h"
#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

class AlbumSelection : public ::testing::Test {
protected:
    void SetUp() override {
        h.useLibrary(testing::libraryValue(
            {{1, "a", "Two", "X", {}, 1, 1}, {2, "b", "Two", "X", {}, 2, 1}, {3, "c", "One", "X", {}, 1, 1}},
            {}));
        h.launch();
    }
    MyAlbum& two() { return *h.app->library().albumDict.at("Two\tX"); }
    MyAlbum& one() { return *h.app->library().albumDict.at("One\tX"); }
    AppHarness h;
};

TEST_F(AlbumSelection, AlbumRowTransitions) {
    auto& a = two();
    using enum SplitColumn;
    const auto songs = AlbumSetting::songs(), discs = AlbumSetting::discs({{1, false}, {2, false}}),
               whole = AlbumSetting{};

    toggleAlbum(a, SeparateDiscs); // whole -> discs
    EXPECT_EQ(a.setting(), discs);
    a.setting().toggleDisc(2);
    toggleAlbum(a, SeparateDiscs); // discs -> whole
    EXPECT_EQ(a.setting(), whole);
    toggleAlbum(a, SeparateSongs); // whole -> songs
    EXPECT_EQ(a.setting(), songs);
    toggleAlbum(a, SeparateDiscs); // songs -> discs
    EXPECT_EQ(a.setting().stored(), (std::map<std::int64_t, bool>{{1, false}, {2, false}})) << "-1 gone";
    EXPECT_EQ(a.setting(), discs);
    toggleAlbum(a, SeparateSongs); // discs -> songs
    EXPECT_EQ(a.setting(), songs);
    toggleAlbum(a, SeparateSongs); // songs -> whole
    EXPECT_EQ(a.setting(), whole);
}

TEST_F(AlbumSelection, DiscRowsAndDisplayedState) {
    auto& a = two();
    EXPECT_TRUE(offersSeparateDiscs(a));
    EXPECT_FALSE(offersSeparateDiscs(one())) << "a single disc offers whole or songs only";
    EXPECT_FALSE(offersDiscRows(a));
    toggleDisc(a, 1);
    EXPECT_TRUE(a.setting().isWhole()) << "disc boxes do nothing unless the album is split into discs";

    toggleAlbum(a, SplitColumn::SeparateDiscs);
    EXPECT_TRUE(offersDiscRows(a));
    EXPECT_TRUE(isChecked(a, SplitColumn::SeparateDiscs));
    EXPECT_FALSE(isChecked(a, SplitColumn::SeparateSongs));
    toggleDisc(a, 2);
    EXPECT_TRUE(isDiscChecked(a, 2));
    EXPECT_FALSE(isDiscChecked(a, 1));
    toggleDisc(a, 2);
    EXPECT_FALSE(isDiscChecked(a, 2));

    a.setting() = AlbumSetting::fromStored({{7, false}}); // any single entry reads as split into songs
    EXPECT_TRUE(isChecked(a, SplitColumn::SeparateSongs));
    EXPECT_FALSE(isChecked(a, SplitColumn::SeparateDiscs));
}

TEST_F(AlbumSelection, CommitFoldsStoresAndCountsVersions) {
    auto& app = *h.app;
    auto& a = two();
    a.setting() = AlbumSetting::discs({{1, true}, {2, true}});
    app.save();
    EXPECT_EQ(a.setting(), AlbumSetting::songs()) << "every disc split into songs is split into songs";
    EXPECT_TRUE(isChecked(a, SplitColumn::SeparateSongs));
    EXPECT_FALSE(isChecked(a, SplitColumn::SeparateDiscs));
    EXPECT_EQ(h.storedAlbumSettings().at("Two\tX"), AlbumSetting::songs());
    const auto saves = h.settings.saves;

    app.save();
    EXPECT_EQ(h.settings.saves, saves) << "nothing changed, and nothing was written";

    a.setting() = {};
    app.save();
    EXPECT_EQ(h.settings.saves, saves + 1);
    EXPECT_EQ(h.storedAlbumSettings(), AlbumSettings{}) << "a whole album is not stored";
}

TEST_F(AlbumSelection, RestoredSettingsCountAsChangedAtTheFirstCommit) {
    two().setting() = AlbumSetting::discs({{1, true}, {2, false}});
    h.app->save();
    h.launch(); // a new run over the stored settings
    EXPECT_EQ(two().setting(), AlbumSetting::discs({{1, true}, {2, false}}));
    const auto saves = h.settings.saves;
    h.app->save();
    EXPECT_EQ(h.settings.saves, saves + 1);
}

} // namespace
} // namespace platter
