#include "core/app/export.h"
#include "support/app_harness.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace platter {
namespace {

using testing::AppHarness;

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        // Track dictionaries with keys Platter never reads and every value type.
        plist::Dict extra{{"Date Added", plist::Date{-1262304000}}, // 1930
                          {"Rating", std::int64_t{-9000000000}},
                          {"Volume", 0.25},
                          {"Loved", true},
                          {"Artwork Data", plist::Data{std::string("\x89PNG\0", 5)}},
                          {"Comments", "Rock & <Roll>"}};
        h.useLibrary(testing::libraryValue({{12, "twelve", "A", "X", {}, {}, 1, 1000, extra},
                                            {7, "seven", "B", "X"},
                                            {40, "forty", "C", "X"},
                                            {50, "other", "D", "X"}},
                                           {{"P", "Mix & Match", {12, 7, 40}}}));
        h.launch();
        h.app->changePlaylistWithRow(1);
        h.random.next = {100, 200, 0}; // albums A, B, C: the order 40, 12, 7
        h.app->showPlaylist();
    }
    AppHarness h;
};

TEST_F(Export, WritesTheOrderAndTheTracksExactlyAsRead) {
    const auto out = h.dir.path() / "Mix.xml";
    h.dialogs.saveAnswers = {out.string()};
    h.app->exportPlaylist();
    EXPECT_EQ(h.dialogs.exportPanels, std::vector<std::string>{"Mix & Match"});
    EXPECT_TRUE(h.dialogs.told.empty());

    // Read back as a library: one playlist, the shuffled order, the library's dictionaries.
    AppHarness back;
    back.useLibrary(testing::libraryValue({}, {}), "unused.xml");
    plist::set(back.settings.values, "xmlUrl", fileUrlFromPath(out.string()));
    auto& app = back.launch();
    ASSERT_EQ(app.allPlaylists().size(), 2u);
    const auto& exported = *app.allPlaylists()[1];
    EXPECT_EQ(exported.name(), "Mix");
    std::vector<std::int64_t> order;
    for (const auto& s : exported.songs())
        order.push_back(s->trackID());
    EXPECT_EQ(order, (std::vector<std::int64_t>{40, 12, 7}));
    EXPECT_EQ(app.library().songs.size(), 3u) << "only the playlist's tracks";
    for (const auto& song : h.playlist("P").songs()) {
        const auto& again = app.library().songsByTrackID.at(song->trackID());
        EXPECT_EQ(plist::writeXml(again->dict().node), plist::writeXml(song->dict().node))
            << "track " << song->trackID() << " differs from the library's";
    }
}

TEST_F(Export, NameDropsEveryXmlAndCancelWritesNothing) {
    const auto out = h.dir.path() / "a.xml.xml";
    h.dialogs.saveAnswers = {out.string()};
    h.app->exportPlaylist();
    EXPECT_NE(slurp(out).find("<key>Name</key><string>a</string>"), std::string::npos);
    h.dialogs.saveAnswers = {std::nullopt};
    h.app->exportPlaylist();
    EXPECT_EQ(h.files.writes, 1);
}

TEST_F(Export, AFailedWriteIsReportedAndKeepsTheOldFile) {
    const auto out = h.dir.write("Old.xml", "earlier export");
    h.files.failWith = "cannot replace Old.xml: No space left on device";
    h.dialogs.saveAnswers = {out.string()};
    h.app->exportPlaylist();
    EXPECT_EQ(h.dialogs.told, std::vector<std::string>{"export failed: " + h.files.failWith});
    EXPECT_EQ(slurp(out), "earlier export");

    // A folder in the way fails for real, and leaves no temporary file behind.
    h.files.failWith.clear();
    std::filesystem::create_directory(h.dir.path() / "Folder.xml");
    h.dialogs.saveAnswers = {(h.dir.path() / "Folder.xml").string()};
    h.app->exportPlaylist();
    EXPECT_EQ(h.dialogs.told.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(h.dir.path() / "Folder.xml"));
}

TEST_F(Export, NothingWhileConfiguring) {
    h.app->backToConfig();
    h.app->exportPlaylist();
    EXPECT_TRUE(h.dialogs.exportPanels.empty());
}

TEST(ExportM3u8, ListsTheFilesHereInOrderAndTellsHowManyWereLeftOut) {
    AppHarness h;
    auto lib = testing::libraryValue({{1, "Ça va\nbien", "A", "X", {}, {}, {}, 200400}, {2, "gone", "B", "X"},
                                      {3, "third", "C", "Y", {}, {}, {}, 0}},
                                     {{"P", "Mix", {1, 2, 3}}});
    // Song 2's file is not here; the others lie in a folder with a space and accents.
    std::filesystem::create_directory(h.dir.path() / "Mes chansons é");
    const auto file = [&](int i) { return h.dir.path() / "Mes chansons é" / (std::to_string(i) + " ü.mp3"); };
    auto& tracks = *plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
    for (int i = 0; i < 3; ++i) {
        if (i != 1) std::ofstream(file(i)) << "audio";
        plist::set(*tracks[static_cast<std::size_t>(i)].second.get<plist::Dict>(), "Location",
                   fileUrlFromPath(file(i).string()));
    }
    h.useLibrary(lib);
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.random.next = {0, 1, 2};
    h.app->showPlaylist();
    const auto out = h.dir.path() / "Mix.M3U8";
    h.dialogs.saveAnswers = {out.string()};
    h.app->exportPlaylist();
    EXPECT_EQ(slurp(out), "#EXTM3U\n#EXTINF:200,X - Ça va bien\n" + file(0).string() + "\n#EXTINF:-1,Y - third\n" +
                              file(2).string() + "\n");
    EXPECT_EQ(h.dialogs.told, std::vector<std::string>{"left out 1 of 3 in Mix"});

    // Every file here: nothing to tell. A failed write is told as the XML export's is.
    EXPECT_EQ(m3u8Of(std::span(h.playlist("P").shuffledSongs).first(1)).leftOut, 0);
    h.files.failWith = "disk full";
    h.dialogs.saveAnswers = {(h.dir.path() / "Other.m3u").string()};
    h.app->exportPlaylist();
    EXPECT_EQ(h.dialogs.told.back(), "export failed: disk full");
    EXPECT_FALSE(isM3u8Path("/a/mix.m3u8.xml"));
}

TEST(ExportDocument, UnshuffledPlaylistHasNoTracks) {
    AppHarness h;
    h.useLibrary(testing::libraryValue({{1, "a", "A"}}, {}));
    h.launch();
    const auto xml = h.app->allPlaylists()[0]->xmlDataWithName("Empty");
    EXPECT_NE(xml.find("<key>Tracks</key>\n\t<dict/>"), std::string::npos);
    EXPECT_NE(xml.find("<key>Playlist Items</key>\n\t\t\t<array/>"), std::string::npos);
}

} // namespace
} // namespace platter
