#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

TEST(ResetAll, AsksAndRebuildsOnlyOnOK) {
    AppHarness h;
    const auto path =
        h.useLibrary(testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}}, {{"P", "P", {1, 2}}}));
    auto& app = h.launch();
    app.changePlaylistWithRow(1);
    app.showPlaylist();
    const auto order = app.allPlaylists()[1]->shuffledSongs;
    h.rewriteLibrary(
        path, testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}, {3, "c", "C"}}, {{"P", "P", {1, 2}}}));
    const auto saves = h.settings.saves;

    h.dialogs.alertAnswers = {1}; // Cancel
    app.resetAll();
    ASSERT_EQ(h.dialogs.alerts.size(), 1u);
    const auto& alert = h.dialogs.alerts[0];
    EXPECT_EQ(alert.style, Dialogs::AlertStyle::Critical);
    EXPECT_EQ(alert.message,
              "If you click \"OK\", all playlists created in \"Platter\" will deleted.\nAre you sure?");
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(app.allSongs().size(), 2u) << "Cancel changes nothing";
    EXPECT_EQ(app.playlistNumber(), 1u);

    h.dialogs.alertAnswers = {0}; // OK
    app.resetAll();
    EXPECT_EQ(app.allSongs().size(), 3u);
    EXPECT_EQ(h.settings.saves, saves) << "the store is not touched";
    const auto& p = *app.allPlaylists()[1];
    ASSERT_EQ(p.shuffledSongs.size(), 2u) << "the unchanged playlist keeps its order";
    EXPECT_EQ(p.shuffledSongs[0]->persistentID(), order[0]->persistentID());
    EXPECT_TRUE(app.configuring());
    EXPECT_FALSE(app.playlistNumber()) << "the reloaded list shows no selection, and none is kept";
}

} // namespace
} // namespace platter
