// Golden files: every folder under tests/data/libraries holds a library file beside the report
// platter-inspect must print for it. Set PLATTER_UPDATE_GOLDEN=1 to rewrite the reports.

#include "core/model/added_tracks.h"
#include "platform/db/library_snapshot.h"
#include "platform/db/sqlite_library_database.h"
#include "support/app_harness.h"
#include "tools/inspect/library_model.h"
#include "tools/inspect/library_report.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace platter {
namespace {

const std::filesystem::path librariesDir = std::filesystem::path(PLATTER_TEST_DATA) / "libraries";

std::vector<std::string> cases() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(librariesDir))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LibraryReport : public ::testing::TestWithParam<std::string> {};

TEST_P(LibraryReport, MatchesTheExpectedReport) {
    const auto folder = librariesDir / GetParam();
    const auto inspection = inspectLibrary({(folder / "Library.xml").string(), {}, false, {}});
    ASSERT_TRUE(inspection.library) << inspection.error;
    const auto actual = libraryReport(*inspection.library).dump(2) + "\n";
    const auto expectedPath = folder / "expected.json";
    if (std::getenv("PLATTER_UPDATE_GOLDEN")) std::ofstream(expectedPath) << actual;
    std::ifstream in(expectedPath);
    ASSERT_TRUE(in) << "missing " << expectedPath;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str());
}

INSTANTIATE_TEST_SUITE_P(Libraries, LibraryReport, ::testing::ValuesIn(cases()), [](const auto& param) {
    std::string name = param.param;
    for (auto& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(LibraryReportTool, CountsFilesAsTheWindowDoes) {
    // A copied Mac library: two songs in the copy, one on a drive mounted elsewhere, one gone,
    // one stream and one in the user's music folder; the playlist holds the first three.
    const std::string folder = "file:///Users/ann/Music/iTunes/iTunes%20Media/";
    std::vector<testing::Track> tracks;
    for (std::int64_t id = 1; id <= 6; ++id)
        tracks.push_back({id, "song " + std::to_string(id), "album"});
    auto lib = testing::libraryValue(tracks, {{"P", "Mix", {1, 2, 3}}});
    auto& root = *lib.get<plist::Dict>();
    plist::set(root, "Music Folder", folder);
    const std::vector<std::string> locations = {folder + "Music/a/1.mp3", folder + "Music/a/2.mp3",
                                                "file:///Volumes/Drive/b/3.mp3", folder + "Music/a/4.mp3",
                                                "http://radio.example/", "file:///Volumes/Other/c/6.mp3"};
    auto& list = *plist::find(root, "Tracks")->get<plist::Dict>();
    for (std::size_t i = 0; i < locations.size(); ++i)
        plist::set(*list[i].second.get<plist::Dict>(), "Location", locations[i]);

    testing::AppHarness h;
    const auto library = h.useLibrary(lib, "iTunes/iTunes Music Library.xml");
    h.dir.write("iTunes/iTunes Media/Music/a/1.mp3", "");
    h.dir.write("iTunes/iTunes Media/Music/A/2.MP3", "");
    h.dir.write("drive/b/3.mp3", "");
    h.dir.write("music/c/6.mp3", "");
    h.system.music = (h.dir.path() / "music").string();
    const auto drive = (h.dir.path() / "drive").string();
    plist::set(h.settings.values, "musicFolders", plist::Array{drive});
    const auto& window = h.launch().libraryFiles();

    const auto inspection = inspectLibrary({library.string(), {}, true, {drive}, h.system.music});
    ASSERT_TRUE(inspection.library);
    const auto report = libraryReport(*inspection.library, inspection.files);
    const auto& files = report["files"];
    EXPECT_EQ(files["found"], window.found);
    EXPECT_EQ(files["notFound"], window.notFound);
    EXPECT_EQ(files["noFile"], window.noFile);
    EXPECT_EQ(files["found"], 4) << "the user's music folder searched too";
    EXPECT_EQ(files["found"].get<int>() + files["notFound"].get<int>() + files["noFile"].get<int>(),
              report["songs"].get<int>());
    ASSERT_EQ(files["examples"].size(), 1u);
    EXPECT_EQ(files["examples"][0]["location"], locations[3]);
    EXPECT_EQ(files["examples"][0]["lookedFor"], (h.dir.path() / "iTunes/iTunes Media/Music/a/4.mp3").string());
    EXPECT_EQ(report["playlists"][1]["files"], (nlohmann::ordered_json{{"found", 3}, {"notFound", 0}, {"noFile", 0}}));
    EXPECT_FALSE(libraryReport(*inspection.library).contains("files")) << "only when asked";
}

TEST(LibraryReportTool, ShowsStatisticsAndAddedSongsFromTheDatabase) {
    // Song 1 was played twice and rated in the file; here once more, rated anew and skipped.
    testing::Track played{1, "one", "album"};
    played.extra = {{"Play Count", std::int64_t{2}}, {"Rating", std::int64_t{40}},
                    {"Play Date UTC", plist::Date{1'600'000'000}}};
    const auto lib = testing::libraryValue({played, {2, "two", "album"}}, {{"P", "Mix", {1, 2}}});
    testing::TempDir dir;
    const auto file = dir.write("Library.xml", plist::writeXml(lib));
    const auto path = (dir.path() / "library.sqlite").string();
    {
        testing::ManualTasks tasks;
        SqliteLibraryDatabase db(path, tasks);
        db.addPlay(testing::persistentIDOf(1), 1'700'000'000);
        db.setRating(testing::persistentIDOf(1), 100);
        db.addSkip(testing::persistentIDOf(2), 1'700'000'100);
        db.upsertAddedSong({"ADDED1", "/music/a.flac", 10, 1, tagsToJson({.title = "New", .artist = "Her"})});
        db.upsertAddedSong({"ADDED2", "/music/b.flac", -1, 1, "not json"});
        ASSERT_EQ(db.flush(), "");
    }
    std::string error;
    const auto snapshot = readLibrarySnapshot(path, error);
    ASSERT_TRUE(snapshot) << error;
    const auto inspection = inspectLibrary({file.string(), {}, false, {}});
    ASSERT_TRUE(inspection.library);
    const auto report = statisticsReport(*inspection.library->playlists[1], snapshot->stats);
    EXPECT_EQ(report["plays"], 3);
    EXPECT_EQ(report["skips"], 1);
    const auto& one = report["songs"][0];
    EXPECT_EQ(one["lastPlayed"], "2023-11-14T22:13:20Z") << "the later of the file's and the database's";
    EXPECT_EQ(one["rating"], 100) << "a rating set here over the file's";
    EXPECT_EQ(report["songs"][1]["lastPlayed"], nullptr);
    EXPECT_EQ(report["songs"][1]["lastSkipped"], "2023-11-14T22:15:00Z");
    EXPECT_EQ(addedSongsReport(snapshot->addedSongs),
              nlohmann::ordered_json::parse(R"([{"persistentID":"ADDED1","path":"/music/a.flac","name":"New",
                  "artist":"Her","album":""},{"persistentID":"ADDED2","path":"/music/b.flac","gone":true}])"));
    // Read-only: a file that is no database stays as it is.
    EXPECT_FALSE(readLibrarySnapshot(file.string(), error));
    EXPECT_EQ(testing::TempDir::read(file), plist::writeXml(lib));
    EXPECT_FALSE(readLibrarySnapshot((dir.path() / "none.sqlite").string(), error));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.sqlite"));
}

TEST(LibraryReportTool, RefusesFilesThatAreNoLibrary) {
    const auto inspect = [](const std::filesystem::path& path) {
        return inspectLibrary({path.string(), {}, false, {}});
    };
    EXPECT_FALSE(inspect(librariesDir / "no-such-folder" / "Library.xml").library);
    // Whatever the window refuses, with the reader's own reason.
    testing::TempDir dir;
    const auto huge = dir.write("huge.xml", "<plist><dict><key>Tracks</key><dict><key>1</key><dict><key>Track ID</key>"
                                            "<integer>99999999999999999999</integer></dict></dict></dict></plist>");
    const auto beyond64Bits = inspect(huge);
    EXPECT_FALSE(beyond64Bits.library);
    EXPECT_NE(beyond64Bits.error.find("line 1"), std::string::npos) << beyond64Bits.error;
    const auto entry = dir.write("entry.xml", plist::writeXml(plist::Dict{{"Tracks", plist::Dict{{"1", "x"}}}}));
    EXPECT_FALSE(inspect(entry).library);
}

} // namespace
} // namespace platter
