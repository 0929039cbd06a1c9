#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

plist::Value smallLibrary() {
    return testing::libraryValue({{1, "a", "A"}}, {});
}

TEST(Startup, ReadsTheDefaultLibraryWithoutAskingOrWriting) {
    AppHarness h;
    h.system.home = h.dir.path().string();
    std::filesystem::create_directories(h.dir.path() / "Music/iTunes");
    h.dir.write("Music/iTunes/iTunes Music Library.xml", plist::writeXml(smallLibrary()));
    auto& app = h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Ready);
    EXPECT_EQ(h.dialogs.openPanels, 0);
    EXPECT_EQ(h.settings.saves, 0);
    EXPECT_EQ(app.library().songs.size(), 1u);
    EXPECT_EQ(app.musicLibraryUrl(),
              fileUrlFromPath(h.system.home + "/Music/iTunes/iTunes Music Library.xml"));

    // The Music application's exported library, looked for next.
    AppHarness music;
    music.system.home = music.dir.path().string();
    music.dir.write("Music/Music/Library.xml", plist::writeXml(smallLibrary()));
    music.launch();
    EXPECT_EQ(music.result, AppDelegate::LaunchResult::Ready);
    EXPECT_EQ(music.dialogs.openPanels, 0);
    EXPECT_EQ(music.settings.saves, 0);
    EXPECT_EQ(music.app->musicLibraryUrl(), fileUrlFromPath(music.system.home + "/Music/Music/Library.xml"));
    music.dir.write("Music/iTunes/iTunes Music Library.xml", plist::writeXml(testing::libraryValue({}, {})));
    music.launch();
    EXPECT_EQ(music.app->musicLibraryUrl(),
              fileUrlFromPath(music.system.home + "/Music/iTunes/iTunes Music Library.xml"))
        << "the iTunes file first when both are there";
}

TEST(Startup, AsksUntilAUsableLibraryIsChosenAndRemembersIt) {
    AppHarness h;
    const auto arrayRoot = h.dir.write("array.xml", plist::writeXml(plist::Array{1, 2}));
    const auto emptyDict = h.dir.write("empty.xml", plist::writeXml(plist::Dict{}));
    const auto garbage = h.dir.write("garbage.xml", "garbage");
    const auto badTrack = h.dir.write("track.xml", plist::writeXml(plist::Dict{{"Tracks", plist::Dict{{"1", 5}}}}));
    const auto good = h.dir.write("good.xml", plist::writeXml(smallLibrary()));
    h.dialogs.openAnswers = {arrayRoot.string(), garbage.string(), emptyDict.string(), badTrack.string(),
                             good.string()};
    auto& app = h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Ready);
    EXPECT_EQ(h.dialogs.openPanels, 5);
    const auto& told = h.dialogs.notALibrary;
    ASSERT_EQ(told.size(), 4u) << "each unusable choice is explained";
    using Why = Dialogs::NotALibrary::Why;
    using Kind = LibraryProblem::Kind;
    EXPECT_EQ(told[1].fileName, "garbage.xml");
    EXPECT_EQ(told[0].problem.kind, Kind::NoDictionary);
    EXPECT_EQ(told[1].why, Why::Unreadable);
    EXPECT_FALSE(told[1].detail.empty()) << "in the reader's own words";
    EXPECT_EQ(told[2].problem.kind, Kind::Empty);
    EXPECT_EQ(told[3].problem, (LibraryProblem{Kind::TrackNotDictionary, "1"}));
    EXPECT_EQ(app.library().songs.size(), 1u);
    EXPECT_EQ(h.settings.saves, 1) << "only the usable choice is remembered";
    EXPECT_EQ(*plist::find(h.settings.values, "xmlUrl")->get<std::string>(), fileUrlFromPath(good.string()));

    h.dialogs.openPanels = 0;
    h.launch();
    EXPECT_EQ(h.dialogs.openPanels, 0) << "the next launch opens the remembered file";
    EXPECT_EQ(h.app->library().songs.size(), 1u);
}

TEST(Startup, CancellingTheOpenPanelExplainsAndQuitsOnlyOnTheUsersWord) {
    AppHarness h;
    h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Cancelled);
    EXPECT_EQ(h.dialogs.openPanels, 1);
    EXPECT_EQ(h.dialogs.noLibraryAlerts,
              (std::vector<std::vector<std::string>>{{"/nonexistent-home/Music/iTunes/iTunes Music Library.xml",
                                                      "/nonexistent-home/Music/Music/Library.xml"}}))
        << "the user is told where Platter looked";
    EXPECT_TRUE(h.app->allPlaylists().empty());
    EXPECT_EQ(h.settings.saves, 0);

    const auto good = h.dir.write("good.xml", plist::writeXml(smallLibrary()));
    h.dialogs = {};
    h.dialogs.openAnswers = {std::nullopt, std::nullopt, good.string()};
    h.dialogs.noLibraryAnswers = {Dialogs::NoLibraryChoice::ChooseAgain, Dialogs::NoLibraryChoice::ChooseAgain};
    h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Ready);
    EXPECT_EQ(h.dialogs.openPanels, 3);
    EXPECT_EQ(h.dialogs.noLibraryAlerts.size(), 2u);
    EXPECT_EQ(h.app->library().songs.size(), 1u);

    // A stored library gone: only its place is named.
    std::filesystem::remove(good);
    h.dialogs = {};
    h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Cancelled);
    EXPECT_EQ(h.dialogs.noLibraryAlerts, (std::vector<std::vector<std::string>>{{good.string()}}));
}

TEST(Startup, ParsesTheLibraryOnce) {
    AppHarness h;
    h.useLibrary(smallLibrary());
    h.launch();
    EXPECT_EQ(h.reader.fileReads, 1);
}

TEST(Startup, CountryComesFromTheRegionUnlessStored) {
    {
        AppHarness h;
        h.useLibrary(smallLibrary());
        EXPECT_EQ(h.launch().countryCode(), "jp");
    }
    {
        AppHarness h;
        h.system.region = "DE";
        h.useLibrary(smallLibrary());
        EXPECT_EQ(h.launch().countryCode(), "de");
    }
    {
        AppHarness h;
        h.system.region = "DE";
        plist::set(h.settings.values, "countryCode", "fr");
        h.useLibrary(smallLibrary());
        EXPECT_EQ(h.launch().countryCode(), "fr");
    }
}

TEST(Startup, StoredValuesOfTheWrongShapeAreIgnored) {
    AppHarness h;
    plist::set(h.settings.values, "topArtistsRatio", "forty");
    plist::set(h.settings.values, "countryCode", 12);
    plist::set(h.settings.values, "albumSettings", plist::Data{"not a property list"});
    // One bad entry costs that entry alone, and the file as read is kept aside.
    plist::set(h.settings.values, "playlists", plist::Dict{{"P", plist::Array{"A", 3}}, {"R", plist::Array{"B"}}});
    plist::set(h.settings.values, "playingNumbers", plist::Dict{{"P", 1}, {"Q", "2"}});
    h.useLibrary(smallLibrary());
    auto& app = h.launch();
    EXPECT_EQ(app.topArtistsRatio(), 25);
    EXPECT_EQ(app.countryCode(), "jp");
    EXPECT_TRUE(h.storedAlbumSettings().empty());
    EXPECT_EQ(h.importedOrders(), (PlaylistOrders{{"R", {"B"}}}));
    EXPECT_EQ(h.storedPositions(), (PlayingNumbers{{"P", 1}}));
    ASSERT_EQ(h.settings.copies.size(), 1u);
    EXPECT_TRUE(plist::find(h.settings.copies[0], "albumSettings")) << "the copy holds what was passed over";
    EXPECT_NE(h.startFacts().find("settings copy 1"), std::string::npos) << h.startFacts();

    AppHarness ok;
    plist::set(ok.settings.values, "topArtistsRatio", 40);
    ok.useLibrary(smallLibrary());
    EXPECT_EQ(ok.launch().topArtistsRatio(), 40);
    EXPECT_TRUE(ok.settings.copies.empty());
    EXPECT_FALSE(ok.app->startNotice());
}

TEST(Startup, AlbumSettingsSurviveTheirEncoding) {
    const AlbumSettings settings{{"A\tB", AlbumSetting::songs()},
                                 {"C & <D>\t", AlbumSetting::discs({{1, true}, {2, false}, {10, true}})}};
    const PlistFileReader reader;
    EXPECT_EQ(decodeAlbumSettings(encodeAlbumSettings(settings).bytes, reader), settings);
    EXPECT_EQ(decodeAlbumSettings(encodeAlbumSettings({}).bytes, reader), AlbumSettings{});
    // An album whose entry is off is passed over; the others stay.
    std::size_t dropped = 0;
    const auto wrong = plist::writeXml(plist::Dict{{"A", plist::Dict{{"one", true}}},
                                                   {"B", plist::Dict{{"1", 1}}},
                                                   {"C", 5},
                                                   {"D", plist::Dict{{"-1", true}}},
                                                   // one entry, whatever its key, is every song
                                                   {"E", plist::Dict{{"7", false}}},
                                                   {"F", plist::Dict{}}});
    const auto decoded = decodeAlbumSettings(wrong, reader, &dropped);
    EXPECT_EQ(decoded,
              (AlbumSettings{{"D", AlbumSetting::songs()}, {"E", AlbumSetting::songs()}, {"F", {}}}));
    EXPECT_EQ(decoded->at("E").stored(), (std::map<std::int64_t, bool>{{-1, true}}));
    EXPECT_EQ(dropped, 3u);
    EXPECT_FALSE(decodeAlbumSettings("no property list", reader));
}

} // namespace
} // namespace platter
