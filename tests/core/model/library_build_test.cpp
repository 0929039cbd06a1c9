#include "support/app_harness.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::Playlist;
using testing::Track;

std::vector<std::string> ids(const std::vector<SongPtr>& songs) {
    std::vector<std::string> out;
    for (const auto& s : songs)
        out.emplace_back(s->persistentID());
    return out;
}

std::vector<std::string> albumNames(const std::vector<AlbumPtr>& albums) {
    std::vector<std::string> out;
    for (const auto& a : albums)
        out.push_back(a->albumName());
    return out;
}

plist::Dict flagged(std::string_view key) {
    return plist::Dict{{std::string(key), true}};
}

TEST(LibraryBuild, KeepsOnlyMusicTracksWithTheRequiredValues) {
    AppHarness h;
    std::vector<Track> tracks{
        {1, "Song", "A"},
        {2, "Video", "A", "Artist", {}, {}, {}, 1000, flagged("Has Video")},
        {3, "Clip", "A", "Artist", {}, {}, {}, 1000, flagged("Music Video")},
        {4, "Episode", "A", "Artist", {}, {}, {}, 1000, flagged("Podcast")},
        {5, "No time", "A", "Artist", {}, {}, {}, 1000, {{"Total Time", "long"}}},
        {6, "No album", "A", "Artist", {}, {}, {}, 1000, {{"Album", 3}}},
        {7, "Not a podcast", "A", "Artist", {}, {}, {}, 1000, {{"Podcast", false}, {"Has Video", 0}}},
    };
    auto lib = testing::libraryValue(tracks, {});
    // A key that is no decimal number, a track without a persistent ID: skipped.
    auto& list = *plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
    list.emplace_back("x12", testing::trackDict({12, "Bad key", "A"}));
    auto noID = testing::trackDict({13, "No ID", "A"});
    plist::erase(noID, "Persistent ID");
    list.emplace_back("13", std::move(noID));
    h.useLibrary(lib);
    auto& app = h.launch();
    ASSERT_EQ(h.result, AppDelegate::LaunchResult::Ready);
    auto kept = ids(app.library().songs);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{testing::persistentIDOf(1), testing::persistentIDOf(7)}));
    EXPECT_EQ(app.library().songsByTrackID.size(), 2u);
    EXPECT_EQ(app.library().songsByTrackID.at(7)->name(), "Not a podcast");
    EXPECT_EQ(app.library().songsByPersistentID.at(testing::persistentIDOf(1))->trackID(), 1);
}

TEST(LibraryBuild, LibraryWithoutMusicHasAnEmptyAllSongsPlaylist) {
    AppHarness h;
    h.useLibrary(testing::libraryValue({{1, "Video", "A", "X", {}, {}, {}, 1, flagged("Has Video")}},
                                       {{"P1", "Videos", {1}}}));
    auto& app = h.launch();
    EXPECT_TRUE(app.library().songs.empty());
    EXPECT_TRUE(app.library().albums.empty());
    EXPECT_TRUE(app.library().artists.empty());
    ASSERT_EQ(app.allPlaylists().size(), 1u);
    EXPECT_EQ(app.allPlaylists()[0]->name(), "All Songs");
    EXPECT_EQ(app.allPlaylists()[0]->duration(), 0.0);
    EXPECT_EQ(h.view.calls, (std::vector<std::string>{"playlists", "mode 0", "files"}));
}

TEST(LibraryBuild, GroupsAlbumsByNameAndAlbumArtist) {
    AppHarness h;
    h.useLibrary(testing::libraryValue(
        {
            {1, "a1", "Same", "X"},
            {2, "other", "Zeta", "X"},
            {3, "a2", "Same", "X"}, // far from its album mate in the file
            {4, "b1", "Same", "Y"}, // same name, other artist: another album
            {5, "c1", "Hits", "P", {}, {}, {}, 1000, {{"Compilation", true}}},
            {6, "c2", "Hits", "Q", {}, {}, {}, 1000, {{"Compilation", true}}},
            {7, "d1", "Jo\xCC\x81ga", "Bj\xC3\xB6rk"}, // decomposed album name
            {8, "d2", "J\xC3\xB3ga", "Bjo\xCC\x88rk"}, // composed, other artist spelling
            {9, "e1", "", "", ""},
            {10, "e2", "", "", ""},
        },
        {}));
    auto& app = h.launch();
    ASSERT_EQ(app.library().albums.size(), 6u);
    // Ascending album ID.
    EXPECT_TRUE(
        std::is_sorted(app.library().albums.begin(), app.library().albums.end(),
                       [](const AlbumPtr& a, const AlbumPtr& b) { return a->albumID() < b->albumID(); }));
    EXPECT_EQ(app.library().albumDict.at("Same\tX")->songs().size(), 2u);
    EXPECT_EQ(app.library().albumDict.at("Same\tY")->songs().size(), 1u);
    const auto& hits = app.library().albumDict.at("Hits\t");
    EXPECT_EQ(hits->songs().size(), 2u) << "a compilation without album artist is one album";
    EXPECT_EQ(app.library().albumDict.at("J\xC3\xB3ga\tBj\xC3\xB6rk")->songs().size(), 2u)
        << "canonically equivalent names are one album";
    EXPECT_EQ(app.library().albumDict.at("\t")->songs().size(), 2u);
    for (const auto& album : app.library().albums)
        for (const auto& s : album->songs())
            EXPECT_EQ(s->myAlbum(), album);

    // Artists collect the IDs of their albums in grouping order; one entry with the empty name.
    EXPECT_EQ(app.library().artists.at("X")->albumIds(), (std::vector<std::string>{"Same\tX", "Zeta\tX"}));
    EXPECT_EQ(app.library().artists.at("")->albumIds(), (std::vector<std::string>{"\t", "Hits\t"}));
    EXPECT_EQ(app.library().artists.size(), 4u);
    // The all-songs playlist ranks every artist by album count.
    const auto& all = *app.allPlaylists()[0];
    EXPECT_EQ(all.topArtists().size(), 4u);
    EXPECT_TRUE(all.topArtists()[0] == "" || all.topArtists()[0] == "X");
    EXPECT_EQ(all.songs().size(), 10u);
    EXPECT_DOUBLE_EQ(all.duration(), 10 * 200.0 - 2 * 199.0);
}

TEST(LibraryBuild, SortKeysComeFromTheFirstSongAndAreNormalised) {
    AppHarness h;
    h.useLibrary(testing::libraryValue(
        {
            {1, "one", "the wall", "Pink Floyd", {}, {}, 1},
            {2, "two", "the wall", "Pink Floyd", {}, {}, 2, 1000, {{"Sort Album", "Wall, The"}}},
            {3, "x", "Ökotop", "b-52's", {}, {}, 1, 1000, {{"Sort Album Artist", "B52s, The"}}},
        },
        {}));
    auto& app = h.launch();
    const auto& wall = app.library().albumDict.at("the wall\tPink Floyd");
    const bool firstHasSortKey = wall->songs().front()->trackID() == 2;
    EXPECT_EQ(wall->sortAlbum(), firstHasSortKey ? "WALL THE" : "THE WALL");
    EXPECT_EQ(wall->sortArtist(), "PINK FLOYD");
    EXPECT_EQ(app.library().albumDict.at("Ökotop\tb-52's")->sortArtist(), "B52S THE");
    EXPECT_EQ(app.library().albumDict.at("Ökotop\tb-52's")->sortAlbum(), "ÖKOTOP");
}

TEST(LibraryBuild, DiscsHoldTheirSongsInTrackOrder) {
    AppHarness h;
    h.useLibrary(testing::libraryValue(
        {
            {1, "2-3", "Double", "X", {}, 2, 3},
            {2, "1-2", "Double", "X", {}, 1, 2},
            {3, "2-1", "Double", "X", {}, 2, 1},
            {4, "1-1", "Double", "X", {}, 1, 1},
            {5, "none", "Loose", "X"},
        },
        {{"P", "Disc two only", {3, 1}}}));
    auto& app = h.launch();
    const auto& album = app.library().albumDict.at("Double\tX");
    EXPECT_EQ(album->discNum(), (std::vector<std::int64_t>{1, 2}));
    const auto& master = album->discsForPlaylists().at("AllSongsMaster");
    ASSERT_EQ(master.size(), 2u);
    EXPECT_EQ(ids(master[0]->songs()), (std::vector{testing::persistentIDOf(4), testing::persistentIDOf(2)}));
    EXPECT_EQ(ids(master[1]->songs()), (std::vector{testing::persistentIDOf(3), testing::persistentIDOf(1)}));
    EXPECT_EQ(app.library().albumDict.at("Loose\tX")->discNum(), (std::vector<std::int64_t>{0}));

    // A playlist with disc 2 only still lists disc 1, empty.
    const auto& mine = album->discsForPlaylists().at("P");
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[0]->discNumber(), 1);
    EXPECT_TRUE(mine[0]->songs().empty());
    EXPECT_EQ(ids(mine[1]->songs()), (std::vector{testing::persistentIDOf(3), testing::persistentIDOf(1)}));
    EXPECT_EQ(master[0]->songs().size(), 2u) << "the master list is untouched";
}

TEST(LibraryBuild, KeepsOnlyVisibleMusicPlaylistsWithSongs) {
    AppHarness h;
    std::vector<Track> tracks{
        {1, "s1", "A"}, {2, "s2", "B"}, {3, "v", "V", "X", {}, {}, {}, 1, flagged("Has Video")}};
    std::vector<Playlist> lists{
        {"M", "Library", {1, 2, 3}, {{"Master", true}, {"Visible", false}}},
        {"MU", "Music", {1, 2}, {{"Music", true}}},
        {"PO", "Podcasts", {1}, {{"Podcasts", true}}},
        {"MV", "Movies", {1}, {{"Movies", true}}},
        {"TV", "TV", {1}, {{"TV Shows", true}}},
        {"IU", "iTunes U", {1}, {{"iTunesU", true}}},
        {"VO", "Videos only", {3}},
        {"NO", "Unknown tracks", {99, 98}},
        {"EM", "Empty", {}},
        {"BAD", "Items not integers", {}, {{"Playlist Items", plist::Array{plist::Dict{{"Track ID", "1"}}}}}},
        {"K1", "Kept", {2, 1, 2}, {{"Visible", true}}},
        {"K2", "No visible key", {1}},
        {"K3", "Music false", {2}, {{"Music", false}, {"Folder", true}}},
    };
    auto lib = testing::libraryValue(tracks, lists);
    auto& arr = *plist::find(*lib.get<plist::Dict>(), "Playlists")->get<plist::Array>();
    // Exported playlists carry no persistent ID: one is derived. A playlist without a name is
    // no playlist of the library application.
    const plist::Array oneItem{plist::Dict{{"Track ID", 1}}};
    arr.push_back(plist::Dict{{"Name", "No persistent ID"}, {"Playlist Items", oneItem}});
    arr.push_back(plist::Dict{{"Name", "Numbered"}, {"Playlist ID", 77}, {"Playlist Items", oneItem}});
    arr.push_back(plist::Dict{{"Playlist Persistent ID", "NONAME"}, {"Playlist Items", oneItem}});
    h.useLibrary(lib);
    auto& app = h.launch();
    std::vector<std::string> kept;
    for (const auto& p : app.allPlaylists())
        kept.push_back(p->persistentID());
    EXPECT_EQ(kept, (std::vector<std::string>{"AllSongsMaster", "K1", "K2", "K3",
                                              "Playlist named No persistent ID", "Playlist ID 77"}));

    const auto& dup = h.playlist("K1");
    EXPECT_EQ(dup.name(), "Kept");
    EXPECT_EQ(dup.songs().size(), 2u) << "a track listed twice is there once";
    EXPECT_DOUBLE_EQ(dup.duration(), 400.0);
    EXPECT_EQ(dup.albums().size(), 2u);
    EXPECT_EQ(albumNames(dup.albums()), (std::vector<std::string>{"A", "B"})) << "albums by sort key";
}

// Each playlist as "name depth folder-name", in list order, and its songs' track IDs.
std::vector<std::string> tree(const AppDelegate& app) {
    std::vector<std::string> out;
    for (const auto& p : app.allPlaylists()) {
        const auto folder = p->folderIndex();
        out.push_back(p->name() + " " + std::to_string(p->depth()) + " " +
                      (folder ? app.allPlaylists()[*folder]->name() : "-"));
    }
    return out;
}

std::vector<std::int64_t> trackIDs(const MyPlaylist& playlist) {
    std::vector<std::int64_t> out;
    for (const auto& s : playlist.songs())
        out.push_back(s->trackID());
    return out;
}

plist::Dict in(std::string_view folder, plist::Dict extra = {}) {
    extra.emplace_back("Parent Persistent ID", std::string(folder));
    return extra;
}

TEST(LibraryBuild, FoldersArePlaylistsOfTheirPlaylistsSongsInTreeOrder) {
    AppHarness h;
    const plist::Dict folder = flagged("Folder");
    h.useLibrary(
        testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}, {3, "c", "C"}, {4, "d", "D"}, {5, "e", "E"}},
                              {
                                  {"CALM", "Calm", {2, 1}, in("MOODS")}, // before its folder
                                  {"MOODS", "Moods", {}, folder},
                                  {"LOUD", "Loud", {3, 1}, in("MOODS")},
                                  {"DEEP", "Deep", {}, in("MOODS", folder)},
                                  {"INNER", "Inner", {4}, in("DEEP")},
                                  {"OWN", "Own items", {5, 1}, folder},
                                  {"INOWN", "In own", {2}, in("OWN")},
                                  {"HOLLOW", "Hollow", {}, folder},
                                  {"NONE", "No songs", {99}, in("HOLLOW")},
                                  {"TOP", "Top", {1}},
                              }));
    auto& app = h.launch();
    EXPECT_EQ(tree(app), (std::vector<std::string>{"All Songs 0 -", "Moods 0 -", "Calm 1 Moods",
                                                   "Loud 1 Moods", "Deep 1 Moods", "Inner 2 Deep",
                                                   "Own items 0 -", "In own 1 Own items", "Top 0 -"}))
        << "a folder of no songs is no playlist";
    EXPECT_EQ(trackIDs(h.playlist("MOODS")), (std::vector<std::int64_t>{2, 1, 3, 4})) << "each song once";
    EXPECT_EQ(trackIDs(h.playlist("OWN")), (std::vector<std::int64_t>{5, 1})) << "its own items";
    EXPECT_TRUE(h.playlist("DEEP").isFolder());
    EXPECT_FALSE(h.playlist("CALM").isFolder());
    EXPECT_EQ(h.playlist("CALM").parentPersistentID(), "MOODS");
    EXPECT_EQ(h.playlist("MOODS").albums().size(), 4u);

    // A folder is chosen and shuffled like any playlist.
    app.changePlaylistWithRow(1);
    app.showPlaylist();
    EXPECT_EQ(h.playlist("MOODS").shuffledSongs.size(), 4u);
}

TEST(LibraryBuild, APlaylistWithoutItsFolderOrInACycleSitsAtTheTopLevel) {
    AppHarness h;
    const plist::Dict folder = flagged("Folder");
    h.useLibrary(testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}, {3, "c", "C"}},
                                       {
                                           {"LOST", "Lost", {1}, in("GONE")},
                                           {"PLAIN", "Plain", {1}},
                                           {"UNDER", "Under a playlist", {2}, in("PLAIN")},
                                           {"A", "Cycle A", {}, in("B", folder)},
                                           {"B", "Cycle B", {3}, in("A", folder)},
                                           {"SELF", "Self", {2}, in("SELF", folder)},
                                           {"HIDDEN", "Hidden", {}, {{"Folder", true}, {"Visible", false}}},
                                           {"ORPHAN", "Orphan", {1}, in("HIDDEN")},
                                       }));
    auto& app = h.launch();
    EXPECT_EQ(tree(app),
              (std::vector<std::string>{"All Songs 0 -", "Lost 0 -", "Plain 0 -", "Under a playlist 0 -",
                                        "Cycle A 0 -", "Cycle B 1 Cycle A", "Self 0 -", "Orphan 0 -"}));
    EXPECT_EQ(trackIDs(h.playlist("A")), (std::vector<std::int64_t>{3}));
}

TEST(LibraryBuild, PlaylistIDsAreUniqueAndAllSongsHoldsEverySong) {
    AppHarness h;
    h.useLibrary(testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}, {3, "c", "C"}},
                                       {{"SAME", "First", {1}},
                                        {"SAME", "Second", {2}},
                                        {"AllSongsMaster", "Impostor", {3}},
                                        {"SAME", "Third", {3}}}));
    auto& app = h.launch();
    std::vector<std::string> kept;
    for (const auto& p : app.allPlaylists())
        kept.push_back(p->persistentID() + " " + p->name());
    EXPECT_EQ(kept, (std::vector<std::string>{"AllSongsMaster All Songs", "SAME First", "SAME #2 Second",
                                              "AllSongsMaster #2 Impostor", "SAME #3 Third"}));
    EXPECT_EQ(h.playlist("SAME #2").songs().front()->name(), "b") << "each answers with its own songs";
    EXPECT_EQ(app.allPlaylists()[0]->songs().size(), 3u);
    // All Songs shuffles every song, not the impostor's one.
    app.changePlaylistWithRow(0);
    app.showPlaylist();
    EXPECT_EQ(app.allPlaylists()[0]->shuffledSongs.size(), 3u);
}

TEST(LibraryBuild, PlaylistRanksArtistsByAlbumCount) {
    AppHarness h;
    h.useLibrary(testing::libraryValue(
        {
            {1, "a", "A1", "A"},
            {2, "a", "A2", "A"},
            {3, "a", "A3", "A"},
            {4, "b", "B1", "B"},
            {5, "c", "C1", "C"},
            {6, "c", "C2", "C"},
            {7, "c2", "C2", "C"},
        },
        {{"P", "Mixed", {4, 5, 1, 6, 2, 7, 3}}}));
    h.launch();
    EXPECT_EQ(h.playlist("P").topArtists(), (std::vector<std::string>{"A", "C", "B"}));
}

TEST(LibraryBuild, StoredSettingsReturnToNewAlbumsFittedToTheirDiscs) {
    AppHarness h;
    AlbumSettings stored{
        {"Two\tX", AlbumSetting::discs({{1, true}, {2, false}})},
        {"Three\tX", AlbumSetting::discs({{1, true}, {2, false}})},  // the album has grown a third disc
        {"Shrunk\tX", AlbumSetting::discs({{1, false}, {2, true}})}, // the album now has disc 1 only
        {"Split\tX", AlbumSetting::discs({{1, true}, {2, false}})},  // the same, its disc split
        {"Songs\tX", AlbumSetting::songs()},
        {"Gone\tX", AlbumSetting::songs()},
    };
    plist::set(h.settings.values, "albumSettings", encodeAlbumSettings(stored));
    h.useLibrary(testing::libraryValue(
        {
            {1, "t", "Two", "X", {}, 1, 1},
            {2, "t", "Two", "X", {}, 2, 1},
            {3, "t", "Three", "X", {}, 1, 1},
            {4, "t", "Three", "X", {}, 2, 1},
            {5, "t", "Three", "X", {}, 3, 1},
            {6, "t", "Shrunk", "X", {}, 1, 1},
            {7, "t", "Songs", "X", {}, 1, 1},
            {8, "t", "Split", "X", {}, 1, 1},
            {9, "t", "Plain", "X"},
        },
        {}));
    auto& app = h.launch();
    EXPECT_EQ(app.library().albumDict.at("Two\tX")->setting(), AlbumSetting::discs({{1, true}, {2, false}}));
    EXPECT_EQ(app.library().albumDict.at("Three\tX")->setting(),
              AlbumSetting::discs({{1, true}, {2, false}, {3, false}}));
    // One disc left is no split into discs: it plays as that disc was chosen to play.
    EXPECT_TRUE(app.library().albumDict.at("Shrunk\tX")->setting().isWhole());
    EXPECT_EQ(app.library().albumDict.at("Split\tX")->setting(), AlbumSetting::songs());
    EXPECT_EQ(app.library().albumDict.at("Songs\tX")->setting(), AlbumSetting::songs());
    EXPECT_TRUE(app.library().albumDict.at("Plain\tX")->setting().isWhole());
    EXPECT_TRUE(app.library().albumDict.at("Two\tX")->oldSetting().isWhole());
    app.save(); // "Two" counts as changed: its restored setting was never committed
    EXPECT_EQ(h.storedAlbumSettings().size(), 6u) << "settings of albums not in the library stay stored";
}

TEST(LibraryBuild, RebuildCarriesAlbumsOverWithTheirSettings) {
    AppHarness h;
    const auto path = h.useLibrary(testing::libraryValue(
        {{1, "a", "Kept", "X", {}, 1, 1}, {2, "b", "Kept", "X", {}, 2, 1}, {3, "c", "Dropped", "X"}},
        {{"P1", "One", {1}}, {"P2", "Two", {2}}}));
    auto& app = h.launch();
    const auto kept = app.library().albumDict.at("Kept\tX");
    kept->setting() = AlbumSetting::discs({{1, true}, {2, false}});
    kept->oldSetting() = AlbumSetting::songs();
    ASSERT_EQ(app.allPlaylists().size(), 3u);

    h.rewriteLibrary(
        path, testing::libraryValue(
                  {{1, "a", "Kept", "X", {}, 1, 1}, {4, "d", "Kept", "X", {}, 3, 1}, {5, "e", "New", "X"}},
                  {{"P1", "One", {1, 4}}}));
    h.readAgain();
    const auto again = app.library().albumDict.at("Kept\tX");
    EXPECT_EQ(again, kept) << "the same album object";
    EXPECT_EQ(again->setting(), AlbumSetting::discs({{1, true}, {3, false}}))
        << "cleaned to the current discs";
    EXPECT_EQ(again->oldSetting(), AlbumSetting::songs());
    EXPECT_EQ(again->songs().size(), 2u);
    EXPECT_FALSE(again->discsForPlaylists().contains("P2")) << "old playlists' disc lists are gone";
    EXPECT_TRUE(again->discsForPlaylists().contains("P1"));
    EXPECT_FALSE(app.library().albumDict.contains("Dropped\tX"));
    EXPECT_EQ(app.allPlaylists().size(), 2u);
    EXPECT_EQ(app.playlistAt(std::size_t{2}), nullptr) << "an index past the shorter list finds nothing";
}

TEST(LibraryBuild, UnreadableLibraryOnRebuildKeepsTheModel) {
    AppHarness h;
    const auto path = h.useLibrary(testing::libraryValue({{1, "a", "A"}}, {}));
    auto& app = h.launch();
    const auto before = app.library().songs.front();
    h.view.calls.clear();
    for (const char* broken :
         {"", "<plist><dict><key>Tracks</key>", "<plist><array/></plist>",
          "<plist><dict><key>Tracks</key><array/></dict></plist>",
          "<plist><dict><key>Tracks</key><dict><key>1</key><string/></dict></dict></plist>"}) {
        h.dir.write(path.filename().string(), broken);
        h.readAgain();
        ASSERT_EQ(app.library().songs.size(), 1u);
        EXPECT_EQ(app.library().songs.front(), before);
    }
    EXPECT_TRUE(h.view.calls.empty()) << "a failed read refreshes nothing";
}

TEST(LibraryBuild, RestoresStoredOrdersThatStillMatch) {
    AppHarness h;
    using testing::persistentIDOf;
    plist::set(h.settings.values, "playlists",
               playlistOrdersValue({
                   {"SAME", {persistentIDOf(3), persistentIDOf(1), persistentIDOf(2)}},
                   {"GREW", {persistentIDOf(1), persistentIDOf(2)}},
                   // As many songs as the playlist holds, but one of them another song.
                   {"SWAP", {persistentIDOf(3), persistentIDOf(1), persistentIDOf(4)}},
                   {"DUP", {persistentIDOf(1), persistentIDOf(2)}},
                   {"FAR", {persistentIDOf(2), persistentIDOf(1)}},
                   {"GONE", {persistentIDOf(1)}},
               }));
    plist::set(h.settings.values, "playingNumbers",
               playingNumbersValue({{"SAME", 2}, {"GREW", 1}, {"FAR", 2}, {"DUP", 0}, {"SWAP", 1}}));
    h.useLibrary(testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}, {3, "c", "C"}, {4, "d", "D"}},
                                       {{"SAME", "Same", {1, 2, 3}},
                                        {"GREW", "Grew", {1, 2, 3}},
                                        {"SWAP", "Swapped", {1, 2, 3}},
                                        {"DUP", "Duplicate", {1, 2, 2}},
                                        {"FAR", "Position past the end", {1, 2}}}));
    h.launch();

    const auto& same = h.playlist("SAME");
    EXPECT_EQ(ids(same.shuffledSongs),
              (std::vector{persistentIDOf(3), persistentIDOf(1), persistentIDOf(2)}));
    EXPECT_EQ(same.playingNum, 2);
    EXPECT_EQ(same.units.size(), 3u) << "units are built for the restored order";
    EXPECT_EQ(same.shuffleVersion, 0);

    EXPECT_TRUE(h.playlist("GREW").shuffledSongs.empty());
    EXPECT_EQ(h.playlist("GREW").playingNum, 0);
    EXPECT_TRUE(h.playlist("SWAP").shuffledSongs.empty()) << "a count that matches is not enough";
    EXPECT_EQ(h.playlist("SWAP").playingNum, 0);
    EXPECT_EQ(ids(h.playlist("DUP").shuffledSongs), (std::vector{persistentIDOf(1), persistentIDOf(2)}))
        << "a playlist that lists a song twice holds it once, so its order comes back";
    EXPECT_EQ(h.playlist("DUP").songs().size(), 2u);
    const auto& far = h.playlist("FAR");
    EXPECT_EQ(far.shuffledSongs.size(), 2u);
    EXPECT_EQ(far.playingNum, 0) << "a position outside the order is not used";

    EXPECT_NE(h.state.files.at(state_files::importedOrders).find("GREW"), std::string::npos)
        << "imported orders are not rewritten by reading";
}

} // namespace
} // namespace platter
