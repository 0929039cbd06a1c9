#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using Status = SongFile::Status;

const std::string musicFolder = "file://localhost/C:/Users/Joe/Music/iTunes/iTunes%20Media/";

// A Windows library copied beside the files it still has: its playlist "P" holds songs 1 to 3.
// Song 1 is in the copy, song 2 is not, song 3 is a stream, song 4 has no location at all.
class FileSearch : public ::testing::Test {
protected:
    void SetUp() override {
        auto lib = testing::libraryValue({{1, "one", "A"}, {2, "two", "B"}, {3, "radio", "C"}, {4, "cloud", "D"}},
                                         {{"P", "P", {1, 2, 3}}});
        auto& root = *lib.get<plist::Dict>();
        plist::set(root, "Music Folder", musicFolder);
        auto& tracks = *plist::find(root, "Tracks")->get<plist::Dict>();
        const auto location = [&](std::size_t i, std::string url) {
            plist::set(*tracks[i].second.get<plist::Dict>(), "Location", std::move(url));
        };
        location(0, musicFolder + "Music/A/one.mp3");
        location(1, musicFolder + "Music/B/two.mp3");
        location(2, "http://radio.example/live");
        plist::erase(*tracks[3].second.get<plist::Dict>(), "Location");
        h.dir.write("iTunes/iTunes Media/Music/A/one.mp3", "audio");
        h.dir.write("elsewhere/Music/B/two.mp3", "audio");
        h.audioFiles.seconds = {{"one.mp3", 100}, {"two.mp3", 100}};
        h.useLibrary(lib, "iTunes/iTunes Music Library.xml");
    }
    void configure() {
        h.app->changePlaylistWithRow(1);
        h.app->showPlaylist();
    }
    SongFile fileOf(std::int64_t trackID) {
        const auto& song = *h.app->library().songsByTrackID.at(trackID);
        return {song.fileStatus(), std::string(song.filePath())};
    }

    AppHarness h;
};

TEST_F(FileSearch, CountsWhatIsHereForTheLibraryAndEachPlaylist) {
    auto& app = h.launch();
    EXPECT_EQ(fileOf(1).status, Status::Found);
    EXPECT_EQ(fileOf(2).status, Status::NotFound);
    EXPECT_EQ(fileOf(2).path, (h.dir.path() / "iTunes/iTunes Media/Music/B/two.mp3").string());
    EXPECT_EQ(fileOf(3).status, Status::NoFile);
    EXPECT_EQ(fileOf(4).status, Status::NoFile);
    EXPECT_EQ(app.libraryFiles().found, 1);
    EXPECT_EQ(app.libraryFiles().notFound, 1);
    EXPECT_EQ(app.libraryFiles().noFile, 2);
    const auto& p = h.playlist("P").files();
    EXPECT_EQ(p.found + p.notFound * 10 + p.noFile * 100, 111);
    EXPECT_EQ(songFilesNotice(app.libraryFiles()), "1 of 4 songs has no file on this computer.");
    EXPECT_NE(std::find(h.view.calls.begin(), h.view.calls.end(), "files"), h.view.calls.end());
}

TEST_F(FileSearch, PlayWaitsForTheSearchAndAStaleSearchIsDropped) {
    auto& app = h.launch(false);
    configure();
    app.playMusic();
    EXPECT_TRUE(h.players.made.empty()) << "nothing is queued before the files are known";
    h.readAgain(); // a second build starts a second search; the first one's results are stale
    configure();
    app.playMusic();
    h.finishTasks();
    ASSERT_EQ(h.players.made.size(), 1u);
    EXPECT_EQ(h.players.made.back()->appended, (std::vector<std::string>{"one.mp3"}));
    EXPECT_EQ(fileOf(1).status, Status::Found) << "the songs of the model shown got the results";
}

TEST_F(FileSearch, NothingPlayableSaysWhyAndAChosenFolderIsSearched) {
    h.dir.write("iTunes/iTunes Media/Music/A/one.mp3", "");
    std::filesystem::remove(h.dir.path() / "iTunes/iTunes Media/Music/A/one.mp3");
    auto& app = h.launch();
    configure();
    const auto folder = (h.dir.path() / "elsewhere").string();
    h.dialogs.answers = {true};
    h.dialogs.folderAnswers = {folder};
    app.playMusic();
    ASSERT_EQ(h.dialogs.nothingPlayable.size(), 1u);
    EXPECT_EQ(h.dialogs.nothingPlayable[0].playlist, "P");
    EXPECT_EQ(h.dialogs.nothingPlayable[0].why, Dialogs::NothingPlayable::Why::FilesNotHere);
    EXPECT_FALSE(app.playinglistNumber());
    const auto* stored = plist::find(h.settings.values, "musicFolders");
    ASSERT_TRUE(stored && stored->get<plist::Array>());
    EXPECT_EQ(*stored->get<plist::Array>()->front().get<std::string>(), folder);

    h.finishTasks();
    EXPECT_EQ(fileOf(2).status, Status::Found);
    EXPECT_EQ(fileOf(2).path, folder + "/Music/B/two.mp3");
    EXPECT_TRUE(app.playinglistNumber()) << "playing starts once the chosen folder had the songs";
    EXPECT_EQ(h.players.made.back()->appended, (std::vector<std::string>{"two.mp3"}));

    // The next run searches the stored folder too; a wrong-typed entry in it is passed over.
    plist::set(h.settings.values, "musicFolders", plist::Array{7, folder});
    h.launch();
    EXPECT_EQ(h.app->musicFolders(), std::vector<std::string>{folder});
    EXPECT_EQ(fileOf(2).status, Status::Found);
}

TEST_F(FileSearch, APlaylistOfStreamsSaysSoWithoutOfferingAFolder) {
    auto lib = testing::libraryValue({{1, "radio", "A"}}, {{"P", "P", {1}}});
    auto& track = *(*plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>())[0].second.get<plist::Dict>();
    plist::set(track, "Location", "http://radio.example/live");
    h.useLibrary(lib, "iTunes/iTunes Music Library.xml");
    auto& app = h.launch();
    configure();
    h.dialogs.answers = {true}; // no folder is offered, so none is asked for
    app.playMusic();
    ASSERT_EQ(h.dialogs.nothingPlayable.size(), 1u);
    EXPECT_EQ(h.dialogs.nothingPlayable[0].why, Dialogs::NothingPlayable::Why::NoFiles);
    EXPECT_EQ(h.dialogs.folderPanels, 0);
    EXPECT_EQ(songFilesNotice(app.libraryFiles()),
              "None of the 1 songs in this library has a file on this computer: they are streams or songs "
              "kept in the cloud.");
}

TEST(SongFilesNotice, CountsWithThousandsSeparators) {
    EXPECT_EQ(songFilesNotice({.found = 9178, .notFound = 1234}), "1,234 of 10,412 songs have no file on this computer.");
    EXPECT_EQ(songFilesNotice({.found = 10, .noFile = 2}), "");
    EXPECT_EQ(songFilesNotice({}), "");
    EXPECT_EQ(groupedNumber(1234567), "1,234,567");
    EXPECT_EQ(groupedNumber(999), "999");
}

} // namespace
} // namespace platter
