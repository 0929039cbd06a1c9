#include "core/model/file_url.h"
#include "core/model/song_locator.h"
#include "core/text/string_rules.h"
#include "platform/files/local_file_system.h"
#include "platform/text/icu_unicode_rules.h"
#include "support/library_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace platter {
namespace {

using Status = SongFile::Status;

// The real file system, counting what it is asked.
struct CountingFileSystem final : FileSystem {
    LocalFileSystem real;
    mutable int stats = 0, lists = 0;
    bool isRegularFile(const std::string& p) const override { return ++stats, real.isRegularFile(p); }
    bool isDirectory(const std::string& p) const override { return ++stats, real.isDirectory(p); }
    std::optional<std::vector<std::string>> list(const std::string& d) const override {
        return ++lists, real.list(d);
    }
};

// A home folder in a temporary directory, its music folder "Music"; songs are located as for a
// library file in `libraryFolder` below it.
class Locator : public ::testing::Test {
protected:
    std::string home() const { return dir->path().string(); }
    void file(const std::string& relative) { dir->write(relative, "audio"); }
    SongLocator locator(std::string musicFolderUrl, const std::string& libraryFolder,
                        std::vector<std::string> chosen = {}) {
        return SongLocator(files, rules,
                           {std::move(musicFolderUrl), std::move(chosen), home() + "/" + libraryFolder,
                            home() + "/Music"});
    }

    std::unique_ptr<testing::TempDir> dir = std::make_unique<testing::TempDir>();
    CountingFileSystem files;
    IcuUnicodeRules unicode;
    StringRules rules{unicode};
};

const std::string macFolder = "file:///Users/joe/Music/iTunes/iTunes%20Media/";
const std::string winFolder = "file://localhost/C:/Users/Joe/Music/iTunes/iTunes%20Media/";

TEST_F(Locator, FindsTheLayoutsUsersHave) {
    struct Case {
        const char* what;
        std::string musicFolder, location, onDisk, libraryFolder;
        std::vector<std::string> chosen = {};
    };
    const std::vector<Case> cases = {
        {"the whole iTunes folder copied", macFolder, macFolder + "Music/Abba/Gold/01%20Waterloo.mp3",
         "Music/iTunes/iTunes Media/Music/Abba/Gold/01 Waterloo.mp3", "Music/iTunes"},
        {"an older iTunes Music folder", "file:///Users/joe/Music/iTunes/iTunes%20Music/",
         "file:///Users/joe/Music/iTunes/iTunes%20Music/Abba/Gold/01%20Waterloo.mp3",
         "Music/iTunes/iTunes Music/Abba/Gold/01 Waterloo.mp3", "Music/iTunes"},
        {"only iTunes Media copied into the music folder", macFolder,
         macFolder + "Music/Abba/Gold/01%20Waterloo.mp3", "Music/iTunes Media/Music/Abba/Gold/01 Waterloo.mp3",
         "Downloads"},
        {"the newer application's Media.localized", "file:///Users/joe/Music/Music/Media.localized/",
         "file:///Users/joe/Music/Music/Media.localized/Music/Abba/Gold/01%20Waterloo.m4a",
         "Music/Music/Media.localized/Music/Abba/Gold/01 Waterloo.m4a", "Music/Music"},
        {"a Windows library whose names changed case", winFolder,
         winFolder + "Music/ABBA/Gold/01%20Dancing%20Queen.mp3",
         "Music/iTunes/iTunes Media/Music/Abba/Gold/01 Dancing Queen.MP3", "Music/iTunes"},
        {"a decomposed name stored composed", macFolder, macFolder + "Music/Bjo%CC%88rk/Post/01%20Army.mp3",
         "Music/iTunes/iTunes Media/Music/Bj\xC3\xB6rk/Post/01 Army.mp3", "Music/iTunes"},
        {"a composed name stored decomposed", macFolder, macFolder + "Music/Bj%C3%B6rk/Post/01%20Army.mp3",
         "Music/iTunes/iTunes Media/Music/Bjo\xCC\x88rk/Post/01 Army.mp3", "Music/iTunes"},
        {"a Windows drive's files under /media", winFolder, "file://localhost/E:/Music/ABBA/Gold/01%20SOS.mp3",
         "media/usb/Music/Abba/Gold/01 SOS.mp3", "Music/iTunes", {"$HOME/media/usb"}},
        {"a Mac volume's files in a chosen folder", macFolder, "file:///Volumes/Music/Abba/Gold/01%20SOS.mp3",
         "mnt/Music/Abba/Gold/01 SOS.mp3", "Music/iTunes", {"$HOME/mnt/Music"}},
        {"a copied Mac disk kept whole in a chosen folder", macFolder, macFolder + "Music/Abba/Gold/01%20SOS.mp3",
         "disk/Users/joe/Music/iTunes/iTunes Media/Music/Abba/Gold/01 SOS.mp3", "Downloads", {"$HOME/disk"}},
        {"media copied straight into the music folder", macFolder, macFolder + "Music/Abba/Gold/01%20SOS.mp3",
         "Music/Abba/Gold/01 SOS.mp3", "Downloads"},
        {"a location that is right as it stands", "", "file://$HOME/Songs/01%20SOS.mp3", "Songs/01 SOS.mp3",
         "Downloads"},
        {"a Linux location whose case changed", "", "file://$HOME/songs/01%20sos.mp3", "Songs/01 SOS.mp3",
         "Downloads"},
    };
    const auto withHome = [this](std::string s) {
        if (const auto at = s.find("$HOME"); at != std::string::npos) s.replace(at, 5, home());
        return s;
    };
    for (const auto& c : cases) {
        dir = std::make_unique<testing::TempDir>();
        file(c.onDisk);
        std::vector<std::string> chosen;
        for (const auto& f : c.chosen)
            chosen.push_back(withHome(f));
        auto l = locator(c.musicFolder, c.libraryFolder, chosen);
        const auto found = l.locate(withHome(c.location));
        EXPECT_EQ(found.status, Status::Found) << c.what;
        EXPECT_EQ(found.path, home() + "/" + c.onDisk) << c.what;
    }
}

TEST_F(Locator, TheFileSystemsRootIsAFolderLikeAnyOther) {
    file("Songs/01 SOS.mp3");
    const auto written = "file:///Volumes/Drive" + fileUrlFromPath(home() + "/Songs/01 SOS.mp3").substr(7);
    for (const auto* root : {"/", "//"}) {
        SongLocator l(files, rules, {"", {root}, "", ""});
        const auto found = l.locate(written);
        EXPECT_EQ(found.status, Status::Found) << root;
        EXPECT_EQ(found.path, home() + "/Songs/01 SOS.mp3") << root;
    }
}

TEST_F(Locator, SaysWhatHasNoFileAndWhereAMissingOneWasLookedFor) {
    file("Music/iTunes/iTunes Media/Music/Abba/Gold/01 SOS.mp3");
    auto l = locator(macFolder, "Music/iTunes");
    EXPECT_EQ(l.locate(macFolder + "Music/Abba/Gold/01%20SOS.mp3").status, Status::Found);
    const auto missing = l.locate(macFolder + "Music/Abba/Gold/02%20Mamma%20Mia.mp3");
    EXPECT_EQ(missing.status, Status::NotFound);
    EXPECT_EQ(missing.path, home() + "/Music/iTunes/iTunes Media/Music/Abba/Gold/02 Mamma Mia.mp3");
    const auto elsewhere = l.locate("file://localhost/E:/Other/x.mp3");
    EXPECT_EQ(elsewhere.status, Status::NotFound);
    EXPECT_EQ(elsewhere.path, "/E:/Other/x.mp3");
    EXPECT_EQ(l.locate("file://server/share/x.mp3").status, Status::NotFound) << "another host";
    EXPECT_EQ(l.locate("file:///broken%2").status, Status::NotFound);
    EXPECT_EQ(l.locate("http://radio.example/stream").status, Status::NoFile);
    EXPECT_EQ(l.locate(std::nullopt).status, Status::NoFile);
    // A folder is no song's file, nor is a name that only matches the file's folder.
    EXPECT_EQ(l.locate(macFolder + "Music/Abba/Gold").status, Status::NotFound);
}

TEST_F(Locator, AWholeLibraryCostsAboutOneLookUpPerSong) {
    constexpr int albums = 20, songs = 10;
    for (int a = 0; a < albums; ++a)
        for (int s = 0; s < songs; ++s)
            file("Music/iTunes/iTunes Media/Music/Artist/Album " + std::to_string(a) + "/Song " +
                 std::to_string(s) + ".MP3");
    auto l = locator(winFolder, "Music/iTunes");
    files.stats = files.lists = 0;
    for (int a = 0; a < albums; ++a)
        for (int s = 0; s < songs; ++s)
            ASSERT_EQ(l.locate(winFolder + "Music/ARTIST/Album%20" + std::to_string(a) + "/Song%20" +
                               std::to_string(s) + ".mp3")
                          .status,
                      Status::Found);
    // Each folder is listed once; after the first song every song goes through the mapping the
    // first one found: the location, the mapping tried exactly, then matched loosely.
    EXPECT_LE(files.lists, albums + 20) << "listings are cached";
    EXPECT_LE(files.stats, albums * songs * 3 + 60);
}

} // namespace
} // namespace platter
