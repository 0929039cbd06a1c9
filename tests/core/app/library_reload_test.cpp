#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

// A library of four songs, each a file beside it, whose playlist "P" holds songs 1 to 3 unless
// told otherwise, and with a playlist "Q" of song 1 when asked.
class LibraryWatch : public ::testing::Test {
protected:
    plist::Value library(bool withQ, std::vector<std::int64_t> p = {1, 2, 3}) {
        std::vector<testing::Track> tracks;
        for (std::int64_t id = 1; id <= 4; ++id)
            tracks.push_back({id, "s" + std::to_string(id), "album " + std::to_string(id)});
        std::vector<testing::Playlist> lists{{"P", "P", std::move(p)}};
        if (withQ) lists.push_back({"Q", "Q", {1}});
        auto lib = testing::libraryValue(tracks, lists);
        auto& list = *plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto file = "s" + std::to_string(i + 1) + ".mp3";
            h.dir.write(file, "audio");
            h.audioFiles.seconds[file] = 60;
            plist::set(*list[i].second.get<plist::Dict>(), "Location", fileUrlFromPath((h.dir.path() / file).string()));
        }
        return lib;
    }
    void playP() {
        path = h.useLibrary(library(false));
        h.launch();
        h.app->changePlaylistWithRow(1);
        h.app->showPlaylist();
        h.app->playMusic();
        ASSERT_TRUE(h.app->playinglistNumber());
    }
    std::filesystem::path path;
    AppHarness h;
};

TEST_F(LibraryWatch, ANewLibraryKeepsTheSelectionAndWhatPlays) {
    playP();
    EXPECT_EQ(h.watcher.path, path.string());
    auto* player = h.players.made.back();
    player->end();
    const auto order = (*h.storedOrder("P"));

    h.rewriteLibrary(path, library(true));
    h.watcher.changed();
    EXPECT_EQ(h.app->allPlaylists().size(), 2u) << "nothing before the file has been quiet";
    h.libraryChangedAndSettled();

    ASSERT_EQ(h.app->allPlaylists().size(), 3u);
    EXPECT_EQ(h.app->allPlaylists()[2]->name(), "Q");
    const auto& p = h.playlist("P");
    EXPECT_EQ(h.app->playlistAt(h.app->playlistNumber()), &p);
    EXPECT_FALSE(h.app->configuring()) << "the order is still shown";
    EXPECT_EQ(h.app->playlistAt(h.app->playinglistNumber()), &p) << "and still plays";
    ASSERT_TRUE(h.queueOf(p));
    EXPECT_EQ(&h.queueOf(p)->player(), player);
    EXPECT_EQ(p.playingNum, 1);
    EXPECT_EQ((*h.storedOrder("P")), order);
    EXPECT_EQ(h.view.calls.back(), "now " + std::string(p.shuffledSongs[1]->name()) + " row 1") << "the song shown again";
    player->end();
    EXPECT_EQ(p.playingNum, 2) << "the queue goes on in the new model";
}

TEST_F(LibraryWatch, AHalfWrittenFileKeepsTheModelAndABurstReadsOnce) {
    path = h.useLibrary(library(false));
    h.launch();
    const auto* before = h.app->allPlaylists()[1].get();
    const auto reads = h.reader.fileReads;
    h.dir.write(path.filename().string(), "<?xml version=\"1.0\"?><plist><dict><key>Tracks</key><dict>");
    h.watcher.changed();
    h.libraryChangedAndSettled();
    EXPECT_EQ(h.reader.fileReads, reads + 1) << "the first change was overtaken by the second";
    EXPECT_EQ(h.app->allPlaylists()[1].get(), before);

    h.rewriteLibrary(path, library(true));
    h.libraryChangedAndSettled();
    EXPECT_EQ(h.app->allPlaylists().size(), 3u) << "the next change is read";
}

TEST_F(LibraryWatch, AnOrderThatNoLongerHoldsStopsAndADialogHoldsTheModel) {
    playP();
    h.rewriteLibrary(path, library(false, {1, 2, 3, 4}));
    // The change lands while an alert is open: its caller's model stays.
    const auto* before = h.app->allPlaylists()[1].get();
    h.dialogs.whileOpen = [&] {
        h.libraryChangedAndSettled();
        EXPECT_EQ(h.app->allPlaylists()[1].get(), before);
    };
    h.dialogs.answers = {false};
    h.app->resetAll();
    h.dialogs.whileOpen = nullptr;
    testing::ManualTasks::drain(h.tasks.later);
    h.finishTasks();

    const auto& p = h.playlist("P");
    EXPECT_NE(&p, before);
    EXPECT_EQ(h.app->playlistAt(h.app->playlistNumber()), &p) << "still selected";
    EXPECT_FALSE(h.app->playinglistNumber()) << "its songs changed, so its order is gone";
    EXPECT_TRUE(h.app->configuring());
    EXPECT_FALSE(h.queueOf(p)) << "the player went with the order";
}

} // namespace
} // namespace platter
