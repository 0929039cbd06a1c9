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
    EXPECT_EQ(app.allSongs().size(), 1u);
    EXPECT_EQ(app.musicLibraryUrl(),
              fileUrlFromPath(h.system.home + "/Music/iTunes/iTunes Music Library.xml"));
}

TEST(Startup, AsksUntilAUsableLibraryIsChosenAndRemembersIt) {
    AppHarness h;
    const auto arrayRoot = h.dir.write("array.xml", plist::writeXml(plist::Array{1, 2}));
    const auto emptyDict = h.dir.write("empty.xml", plist::writeXml(plist::Dict{}));
    const auto garbage = h.dir.write("garbage.xml", "garbage");
    const auto good = h.dir.write("good.xml", plist::writeXml(smallLibrary()));
    h.dialogs.openAnswers = {arrayRoot.string(), garbage.string(), emptyDict.string(), good.string()};
    auto& app = h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Ready);
    EXPECT_EQ(h.dialogs.openPanels, 4);
    ASSERT_EQ(h.dialogs.alerts.size(), 3u) << "each unusable choice is explained";
    EXPECT_EQ(h.dialogs.alerts[1].message,
              "\u201cgarbage.xml\u201d is not a music library Platter can read.");
    EXPECT_EQ(app.allSongs().size(), 1u);
    // The empty dictionary was remembered too, then replaced by the good choice.
    EXPECT_EQ(h.settings.saves, 2);
    EXPECT_EQ(*plist::find(h.settings.values, "xmlUrl")->get<std::string>(), fileUrlFromPath(good.string()));

    h.dialogs.openPanels = 0;
    h.launch();
    EXPECT_EQ(h.dialogs.openPanels, 0) << "the next launch opens the remembered file";
    EXPECT_EQ(h.app->allSongs().size(), 1u);
}

TEST(Startup, CancellingTheOpenPanelEndsTheLaunch) {
    AppHarness h;
    h.launch();
    EXPECT_EQ(h.result, AppDelegate::LaunchResult::Cancelled);
    EXPECT_EQ(h.dialogs.openPanels, 1);
    EXPECT_TRUE(h.app->allPlaylists().empty());
    EXPECT_EQ(h.settings.saves, 0);
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
    plist::set(h.settings.values, "playlists", plist::Dict{{"P", plist::Array{"A", 3}}});
    plist::set(h.settings.values, "playingNumbers", plist::Dict{{"P", 1}, {"Q", "2"}});
    h.useLibrary(smallLibrary());
    auto& app = h.launch();
    EXPECT_EQ(app.topArtistsRatio(), 25);
    EXPECT_EQ(app.countryCode(), "jp");
    EXPECT_TRUE(app.albumSettings().empty());
    EXPECT_TRUE(app.playlistDict().empty());
    EXPECT_TRUE(app.playingNumDict().empty());

    AppHarness ok;
    plist::set(ok.settings.values, "topArtistsRatio", 40);
    ok.useLibrary(smallLibrary());
    EXPECT_EQ(ok.launch().topArtistsRatio(), 40);
}

TEST(Startup, AlbumSettingsSurviveTheirEncoding) {
    const AlbumSettings settings{{"A\tB", {{-1, true}}}, {"C & <D>\t", {{1, true}, {2, false}, {10, true}}}};
    const PlistFileReader reader;
    EXPECT_EQ(decodeAlbumSettings(encodeAlbumSettings(settings).bytes, reader), settings);
    EXPECT_EQ(decodeAlbumSettings(encodeAlbumSettings({}).bytes, reader), AlbumSettings{});
    const auto wrongKey = plist::writeXml(plist::Dict{{"A", plist::Dict{{"one", true}}}});
    EXPECT_FALSE(decodeAlbumSettings(wrongKey, reader));
    const auto wrongValue = plist::writeXml(plist::Dict{{"A", plist::Dict{{"1", 1}}}});
    EXPECT_FALSE(decodeAlbumSettings(wrongValue, reader));
}

} // namespace
} // namespace platter
