#include "core/persistence/state_writer.h"
#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::ManualTasks;

StateWriter::Snapshot text(std::string s) {
    return [s] { return s; };
}

TEST(StateWriter, CoalescesFailsAloudRetriesAndFlushes) {
    MemoryStateStorage storage;
    ManualTasks tasks;
    std::vector<std::string> told;
    StateWriter writer(storage, tasks, [&](const std::string& problem) { told.push_back(problem); });

    writer.write("a", text("1"));
    writer.write("a", text("2"));
    writer.write("b", text("x"));
    ASSERT_EQ(tasks.background.size(), 1u) << "one writer for a burst";
    ManualTasks::drain(tasks.background);
    EXPECT_EQ(storage.files, (std::map<std::string, std::string>{{"a", "2"}, {"b", "x"}}));
    EXPECT_EQ(storage.writes["a"], 1) << "only the newest snapshot of a file is written";
    EXPECT_TRUE(tasks.main.empty()) << "nothing to tell while all is well";

    storage.failWrites = "No space left on device";
    writer.write("a", text("3"));
    ManualTasks::drain(tasks.background);
    ManualTasks::drain(tasks.main);
    EXPECT_EQ(told, (std::vector<std::string>{"No space left on device"}));
    EXPECT_EQ(storage.files["a"], "2") << "the old file stands";

    storage.failWrites.clear();
    writer.write("c", text("y"));
    ManualTasks::drain(tasks.background);
    ManualTasks::drain(tasks.main);
    EXPECT_EQ(storage.files["a"], "3") << "the failed write is tried again with the next change";
    EXPECT_EQ(told.back(), "");
    EXPECT_EQ(writer.problem(), "");

    // At quit, what the background has not reached is written here; the late background run
    // then finds nothing, even once the writer is gone.
    {
        StateWriter last(storage, tasks, {});
        last.write("d", text("z"));
        last.remove("c");
        EXPECT_EQ(last.flush(), "");
        EXPECT_EQ(storage.files["d"], "z");
        EXPECT_FALSE(storage.files.contains("c"));
    }
    ManualTasks::drain(tasks.background);
    EXPECT_EQ(storage.writes["d"], 1);
}

// Playlists "P" and "Q" of three one-song albums each, whose files exist.
class StoredState : public ::testing::Test {
protected:
    StoredState() {
        std::vector<testing::Track> tracks;
        for (int i = 1; i <= 6; ++i)
            tracks.push_back({i, "s" + std::to_string(i), "album " + std::to_string(i), "X"});
        auto lib = testing::libraryValue(tracks, {{"P", "P", {1, 2, 3}}, {"Q", "Q", {4, 5, 6}}});
        for (auto& [key, track] : *plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>()) {
            const auto file = "song" + key + ".mp3";
            h.dir.write(file, "audio");
            plist::set(*track.get<plist::Dict>(), "Location",
                       fileUrlFromPath((h.dir.path() / file).string()));
            h.audioFiles.seconds[file] = 60;
        }
        h.useLibrary(lib);
    }
    // How many times each state file was written since the last look.
    std::map<std::string, int> newWrites() {
        h.finishTasks();
        auto writes = h.state.writes;
        for (const auto& [name, count] : seen)
            if ((writes[name] -= count) == 0) writes.erase(name);
        seen = h.state.writes;
        return writes;
    }
    AppHarness h;
    std::map<std::string, int> seen;
};

TEST_F(StoredState, ASongRewritesThePositionsAloneAndAShuffleItsOwnOrder) {
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    const auto p = state_files::orderOf("P"), q = state_files::orderOf("Q");
    const std::string selection = "selection.plist"; // which playlist is chosen and which plays
    EXPECT_EQ(newWrites(), (std::map<std::string, int>{{p, 1}, {state_files::positions, 1}, {selection, 1}}));
    h.app->playMusic();
    newWrites();
    h.players.made.back()->end();
    EXPECT_EQ(newWrites(), (std::map<std::string, int>{{state_files::positions, 1}}));
    h.app->changePlaylistWithRow(2);
    h.app->showPlaylist();
    EXPECT_EQ(newWrites(), (std::map<std::string, int>{{q, 1}, {state_files::positions, 1}, {selection, 1}}));

    const auto order = (*h.storedOrder("P"));
    h.launch();
    EXPECT_EQ((*h.storedOrder("P")), order);
    EXPECT_EQ(h.playlist("P").playingNum, 1) << "the position came back with the order";
}

TEST_F(StoredState, OrdersAndPositionsLeaveTheSettingsOnlyWhenSafelyMoved) {
    const std::vector<std::string> order = {testing::persistentIDOf(3), testing::persistentIDOf(1),
                                            testing::persistentIDOf(2)};
    plist::set(h.settings.values, "playlists", playlistOrdersValue({{"P", order}, {"GONE", {"x"}}}));
    plist::set(h.settings.values, "playingNumbers", playingNumbersValue({{"P", 2}}));

    h.state.failWrites = "Read-only file system";
    h.launch();
    EXPECT_TRUE(plist::find(h.settings.values, "playlists")) << "kept where it was";
    EXPECT_NE(h.startFacts().find("Read-only file system"), std::string::npos) << h.startFacts();
    EXPECT_EQ(h.playlist("P").playingNum, 2) << "and used all the same";

    h.state.failWrites.clear();
    h.launch();
    EXPECT_FALSE(plist::find(h.settings.values, "playlists"));
    EXPECT_FALSE(plist::find(h.settings.values, "playingNumbers"));
    EXPECT_FALSE(h.app->startNotice());
    h.launch();
    EXPECT_EQ(h.importedOrders().at("P"), order);
    EXPECT_EQ(h.playlist("P").shuffledSongs.size(), order.size()) << "restored from there";
    EXPECT_EQ(h.playlist("P").playingNum, 2);
    EXPECT_NE(h.state.files[state_files::importedOrders].find("GONE"), std::string::npos)
        << "nothing is lost in the move";
}

TEST_F(StoredState, AWriteThatFailsIsToldAndTriedAgainAtTheNextChange) {
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.state.failWrites = "No space left on device";
    h.app->showPlaylist();
    h.finishTasks();
    EXPECT_EQ(h.view.calls.back(), "notice");
    EXPECT_NE(h.noticeFacts().find("No space left on device"), std::string::npos);

    h.state.failWrites.clear();
    h.app->playMusic();
    h.players.made.back()->end();
    h.finishTasks();
    EXPECT_TRUE(h.app->notices().empty());
    EXPECT_TRUE(h.storedOrder("P")) << "the order that failed was written with the next change";
}

} // namespace
} // namespace platter
