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

    h.dialogs.answers = {false}; // Cancel
    app.resetAll();
    EXPECT_EQ(h.dialogs.told, std::vector<std::string>{"reset"});
    EXPECT_EQ(app.library().songs.size(), 2u) << "Cancel changes nothing";
    EXPECT_EQ(app.playlistNumber(), 1u);

    h.dialogs.answers = {true}; // OK
    app.resetAll();
    EXPECT_EQ(app.library().songs.size(), 3u);
    EXPECT_EQ(h.settings.saves, saves) << "the store is not touched";
    const auto& p = *app.allPlaylists()[1];
    ASSERT_EQ(p.shuffledSongs.size(), 2u) << "the unchanged playlist keeps its order";
    EXPECT_EQ(p.shuffledSongs[0]->persistentID(), order[0]->persistentID());
    EXPECT_TRUE(app.configuring());
    EXPECT_FALSE(app.playlistNumber()) << "the reloaded list shows no selection, and none is kept";
}

TEST(ChooseLibrary, AUsableFileIsRememberedAndBuiltABadOneExplained) {
    AppHarness h;
    const auto first = h.useLibrary(testing::libraryValue({{1, "a", "A"}}, {{"P", "P", {1}}}));
    auto& app = h.launch();
    app.changePlaylistWithRow(1);
    const auto garbage = h.dir.write("garbage.xml", "garbage");
    const auto other = h.dir.write(
        "Music/Library.xml",
        plist::writeXml(testing::libraryValue({{7, "x", "X"}, {8, "y", "Y"}}, {{"Q", "Q", {7, 8}}})));
    const auto saves = h.settings.saves;
    const auto storedUrl = [&] { return *plist::find(h.settings.values, "xmlUrl")->get<std::string>(); };

    app.chooseLibrary(); // cancelled
    h.dialogs.openAnswers = {garbage.string()};
    app.chooseLibrary();
    ASSERT_EQ(h.dialogs.notALibrary.size(), 1u);
    EXPECT_EQ(h.dialogs.notALibrary[0].fileName, "garbage.xml");
    EXPECT_EQ(app.library().songs.size(), 1u) << "the current library stays";
    EXPECT_EQ(app.playlistNumber(), 1u);
    EXPECT_EQ(storedUrl(), fileUrlFromPath(first.string()));
    EXPECT_EQ(h.settings.saves, saves);

    h.dialogs.openAnswers = {other.string()};
    app.chooseLibrary();
    h.finishTasks();
    EXPECT_EQ(h.dialogs.openPanels, 3);
    EXPECT_EQ(app.library().songs.size(), 2u);
    EXPECT_EQ(app.allPlaylists()[1]->persistentID(), "Q");
    EXPECT_FALSE(app.playlistNumber());
    EXPECT_EQ(app.musicLibraryUrl(), fileUrlFromPath(other.string()));
    EXPECT_EQ(storedUrl(), fileUrlFromPath(other.string()));
    EXPECT_EQ(h.watcher.path, other.string()) << "the new file is the one watched";
    h.launch();
    EXPECT_EQ(h.app->library().songs.size(), 2u) << "and the one the next start opens";
}

} // namespace
} // namespace platter
