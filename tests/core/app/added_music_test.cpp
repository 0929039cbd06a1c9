#include "core/model/added_tracks.h"
#include "core/services/log.h"
#include "support/app_harness.h"
#include "support/memory_library_database.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

AudioTags tagged(std::string title, std::string album, std::string artist, int track = 0) {
    AudioTags t;
    t.title = std::move(title);
    t.album = std::move(album);
    t.artist = std::move(artist);
    t.track = track;
    t.lengthMs = 100000;
    return t;
}

// A library of two songs ("s0" on "album 1000", "s1" on "album 1001", both by "X") whose files
// lie in the harness's folder, which is also the user's music folder.
struct AddedMusicTest : ::testing::Test {
    AddedMusicTest() {
        h.musicFiles = &music;
        h.musicWatcher = &watcher;
        h.system.music = h.dir.path().string();
    }
    std::string add(const std::string& name, std::optional<AudioTags> tags) {
        const auto path = h.dir.write(name, "audio").string();
        music.files[path] = {1, 1, std::move(tags)};
        h.audioFiles.seconds[std::filesystem::path(name).filename().string()] = 100;
        return path;
    }
    void settle() {
        while (!h.tasks.background.empty() || !h.tasks.main.empty())
            h.finishTasks();
    }
    void changedOnDisk() {
        watcher.changed();
        testing::ManualTasks::drain(h.tasks.later);
        settle();
    }
    const MyPlaylist* added() const {
        for (const auto& p : h.app->allPlaylists())
            if (p->persistentID() == addedPersistentID) return p.get();
        return nullptr;
    }
    std::vector<std::string> addedNames() const {
        std::vector<std::string> names;
        if (const auto* list = added())
            for (const auto& s : list->songs())
                names.emplace_back(s->name());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string idAt(const std::string& path) const {
        for (const auto& [id, song] : h.database.added)
            if (song.path == path) return id;
        return {};
    }

    AppHarness h;
    testing::FakeMusicFiles music;
    testing::FakeFolderWatcher watcher;
};

TEST_F(AddedMusicTest, FilesTheLibraryDoesNotKnowBecomeSongsOfItsAlbumsAndPlay) {
    add("new/a.flac", tagged("t1", "album 1000", "X", 2));
    add("new/b.ogg", tagged("", "B", "Y"));
    const auto broken = add("new/broken.mp3", std::nullopt);
    log::enable("library");
    ::testing::internal::CaptureStderr();
    music.files[(h.dir.path() / "song0.mp3").string()] = {1, 1, tagged("not me", "Z", "Z")};
    h.launchPlayable(2, 100);
    settle();
    const auto err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(broken + ": "), std::string::npos) << err;

    // The library's own file is no added song; a file without a title is named by its file.
    EXPECT_EQ(addedNames(), (std::vector<std::string>{"b", "t1"}));
    ASSERT_EQ(h.app->allPlaylists()[1]->persistentID(), addedPersistentID);
    EXPECT_EQ(h.app->library().songs.size(), 4u);
    EXPECT_EQ(music.tagReads, 3);
    ASSERT_EQ(h.database.added.size(), 2u);
    for (const auto& [id, song] : h.database.added)
        EXPECT_TRUE(id.size() == 16 && id.find_first_not_of("0123456789ABCDEF") == std::string::npos) << id;
    const auto& t1 = *h.app->library().songsByPersistentID.at(idAt((h.dir.path() / "new/a.flac").string()));
    EXPECT_EQ(t1.myAlbum()->songs().size(), 2u) << "grouped with the library's s0";
    EXPECT_EQ(t1.trackNumber(), 2);
    EXPECT_FALSE(h.app->addingMusic());
    // The selected playlist stays selected across the new model.
    EXPECT_EQ(h.app->playlistAt(h.app->playlistNumber())->persistentID(), "P");

    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    h.app->playMusic();
    settle();
    ASSERT_FALSE(h.players.made.empty());
    const auto& appended = h.players.made.back()->appended;
    EXPECT_NE(std::find(appended.begin(), appended.end(), "a.flac"), appended.end());
}

TEST_F(AddedMusicTest, RescansReadOnlyChangedFilesAndARemovedSongComesBackAsItself) {
    const auto a = add("new/a.flac", tagged("t1", "A", "X"));
    h.launchPlayable(1, 100);
    settle();
    const auto id = idAt(a);
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(watcher.folders, std::vector<std::string>{h.dir.path().string()});

    changedOnDisk();
    EXPECT_EQ(music.tagReads, 1) << "unchanged size and time: not read again";

    music.files[a] = {2, 5, tagged("t1 remastered", "A", "X")};
    changedOnDisk();
    EXPECT_EQ(music.tagReads, 2);
    EXPECT_EQ(addedNames(), std::vector<std::string>{"t1 remastered"});
    EXPECT_EQ(idAt(a), id);

    music.files.erase(a);
    changedOnDisk();
    EXPECT_EQ(added(), nullptr);
    EXPECT_FALSE(h.app->library().songsByPersistentID.contains(id));
    EXPECT_TRUE(isGone(h.database.added.at(id))) << "its record, and so its ID, is kept";

    music.files[a] = {2, 6, tagged("t1 remastered", "A", "X")};
    changedOnDisk();
    EXPECT_TRUE(h.app->library().songsByPersistentID.contains(id));

    // The next start takes the songs from the database, reading no tags.
    h.launch(false);
    EXPECT_EQ(addedNames(), std::vector<std::string>{"t1 remastered"});
    EXPECT_EQ(music.tagReads, 3);
}

TEST_F(AddedMusicTest, AFolderDroppedBecomesAMusicFolderAndIsScanned) {
    h.system.music = "/nonexistent-music";
    h.launchPlayable(1, 100);
    settle();
    EXPECT_EQ(added(), nullptr);
    const auto dropped = (h.dir.path() / "dropped").string();
    add("dropped/d.mp3", tagged("d", "D", "Z"));
    h.app->addMusicFolder(dropped);
    settle();
    EXPECT_EQ(h.app->musicFolders(), std::vector<std::string>{dropped});
    EXPECT_EQ(addedNames(), std::vector<std::string>{"d"});
    // Progress is told while the scan runs, and gone once it ended.
    EXPECT_NE(std::count(h.view.calls.begin(), h.view.calls.end(), "notice"), 0);
    EXPECT_FALSE(h.app->addingMusic());
}

TEST(AddedTracks, TagsSurviveTheirTextAndNonsenseIsNoTags) {
    auto t = tagged("T \"q\"", "Ä", "B", 3);
    t.compilation = true;
    t.disc = 2;
    t.year = 1999;
    EXPECT_EQ(tagsFromJson(tagsToJson(t)), t);
    EXPECT_FALSE(tagsFromJson("not json"));
    EXPECT_FALSE(tagsFromJson("[1]"));
    EXPECT_EQ(tagsFromJson(R"({"title": 5, "track": "x"})"), AudioTags{});
}

} // namespace
} // namespace platter
