#include "core/persistence/stored_state.h"
#include "core/persistence/user_defaults.h"
#include "platform/files/atomic_file.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/settings/accounts_file.h"
#include "platform/settings/settings_file_store.h"
#include "platform/settings/state_directory.h"
#include "support/library_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace platter {
namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsFileStoreTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    PlistFileReader reader;
    std::filesystem::path file() const { return dir.path() / "platter" / "settings.plist"; }
};

TEST_F(SettingsFileStoreTest, AllSixKeysSurviveARestartInTheirShapes) {
    {
        SettingsFileStore store(file().string(), reader);
        UserDefaults defaults(store);
        EXPECT_EQ(defaults.loadResult().status, SettingsFile::Status::Missing);
        defaults.setObject(keys::xmlUrl, "file:///home/u/Music/Library.xml");
        defaults.setObject(keys::countryCode, "de");
        defaults.setObject(keys::topArtistsRatio, 40);
        defaults.setObject(keys::albumSettings,
                           encodeAlbumSettings({{"A\tB", AlbumSetting::discs({{1, true}, {2, false}})}}));
        defaults.setObject(keys::playlists, playlistOrdersValue({{"P", {"S1", "S2"}}}));
        defaults.setObject(keys::playingNumbers, playingNumbersValue({{"P", 3}}));
        ASSERT_TRUE(defaults.synchronize()) << store.lastError();
    }
    EXPECT_EQ(filesIn(file().parent_path()), std::vector<std::string>{"settings.plist"})
        << "no temporary left";
    SettingsFileStore store(file().string(), reader);
    UserDefaults defaults(store);
    EXPECT_EQ(defaults.loadResult().status, SettingsFile::Status::Loaded);
    EXPECT_EQ(defaults.stringForKey(keys::xmlUrl), "file:///home/u/Music/Library.xml");
    EXPECT_EQ(defaults.stringForKey(keys::countryCode), "de");
    EXPECT_EQ(readTopArtistsRatio(defaults), 40);
    std::size_t dropped = 0;
    EXPECT_EQ(readAlbumSettings(defaults, reader, dropped),
              (AlbumSettings{{"A\tB", AlbumSetting::discs({{1, true}, {2, false}})}}));
    EXPECT_EQ(readPlaylistOrders(defaults, dropped), (PlaylistOrders{{"P", {"S1", "S2"}}}));
    EXPECT_EQ(readPlayingNumbers(defaults, dropped), (PlayingNumbers{{"P", 3}}));
    EXPECT_EQ(dropped, 0u);
    defaults.removeObjectForKey(keys::countryCode);
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(slurp(file()).find("countryCode"), std::string::npos);
}

TEST_F(SettingsFileStoreTest, CorruptFileIsKeptAsideAndDefaultsApply) {
    std::filesystem::create_directories(file().parent_path());
    dir.write("platter/settings.plist", "<plist><dict><key>xmlUrl</key>");
    SettingsFileStore store(file().string(), reader);
    UserDefaults defaults(store);
    EXPECT_EQ(defaults.loadResult().status, SettingsFile::Status::Corrupt);
    EXPECT_FALSE(defaults.objectForKey(keys::xmlUrl));
    const auto aside = defaults.loadResult().setAsidePath;
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(slurp(aside), "<plist><dict><key>xmlUrl</key>") << "kept byte for byte";
    EXPECT_FALSE(std::filesystem::exists(file()));

    // A second corrupt file in the same second never replaces the first one set aside.
    dir.write("platter/settings.plist", "<plist><array/></plist>");
    SettingsFileStore again(file().string(), reader);
    const auto second = again.load();
    EXPECT_EQ(second.status, SettingsFile::Status::Corrupt);
    EXPECT_NE(second.setAsidePath, aside);
    EXPECT_EQ(slurp(aside), "<plist><dict><key>xmlUrl</key>");
    EXPECT_EQ(slurp(second.setAsidePath), "<plist><array/></plist>");

    defaults.setObject(keys::countryCode, "se");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_TRUE(std::filesystem::exists(file()));
}

TEST_F(SettingsFileStoreTest, AFailedWriteLeavesTheOldFileWhole) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    SettingsFileStore store(file().string(), reader);
    ASSERT_TRUE(store.save({{"countryCode", "de"}}));
    const auto before = slurp(file());
    ::chmod(file().parent_path().c_str(), 0500);
    EXPECT_FALSE(store.save({{"countryCode", "fr"}}));
    EXPECT_FALSE(store.lastError().empty());
    ::chmod(file().parent_path().c_str(), 0700);
    EXPECT_EQ(slurp(file()), before);
}

TEST_F(SettingsFileStoreTest, AtomicWriteReportsAFolderInTheWay) {
    std::filesystem::create_directories(dir.path() / "taken");
    EXPECT_FALSE(writeFileAtomically((dir.path() / "taken").string(), "x").empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"taken"}) << "the temporary file is removed";
}

TEST_F(SettingsFileStoreTest, WritesOnlyRegularFilesAndThroughLinks) {
    // An export onto a FIFO or a device replaces nothing.
    const auto fifo = dir.path() / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(writeFileAtomically(fifo.string(), "x").find("not a regular file"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_FALSE(writeFileAtomically("/dev/null", "x").empty());
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    // A settings file kept in a dotfiles repository stays a link; its target is replaced.
    const auto target = dir.path() / "dotfiles" / "settings.plist";
    ASSERT_TRUE(writeFileAtomically(target.string(), "old").empty());
    std::filesystem::create_directories(file().parent_path());
    std::filesystem::create_symlink("../dotfiles/settings.plist", file());
    SettingsFileStore store(file().string(), reader);
    ASSERT_TRUE(store.save({{"countryCode", "de"}})) << store.lastError();
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_NE(slurp(target).find("<string>de</string>"), std::string::npos);
    EXPECT_EQ(filesIn(target.parent_path()), std::vector<std::string>{"settings.plist"});
}

TEST_F(SettingsFileStoreTest, AFifoIsSetAsideAndStaleTemporariesGo) {
    std::filesystem::create_directories(file().parent_path());
    const auto stale = file().string() + ".tmp-AbC123", fresh = file().string() + ".tmp-XyZ789";
    std::ofstream(stale) << "half a file";
    std::ofstream(fresh) << "a write under way";
    std::filesystem::last_write_time(stale, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    SettingsFileStore store(file().string(), reader);
    const auto loaded = store.load();
    EXPECT_EQ(loaded.status, SettingsFile::Status::Corrupt) << "a FIFO is no settings file, and no hang";
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(fresh)) << "a minute old at most: perhaps a write under way";
    EXPECT_TRUE(std::filesystem::is_fifo(loaded.setAsidePath));
    EXPECT_TRUE(store.save({{"countryCode", "de"}}));

    // A copy kept of the file as it is, beside it.
    const auto copy = store.keepCopy();
    ASSERT_FALSE(copy.empty());
    EXPECT_NE(copy.find("settings.plist.partly-read-"), std::string::npos);
    EXPECT_EQ(slurp(copy), slurp(file()));
}

TEST_F(SettingsFileStoreTest, AccountsAreKeptForTheUserAloneAndAnUnreadableFileIsSetAside) {
    const auto path = dir.path() / "platter" / "accounts.json";
    const AccountsFile file(path.string());
    EXPECT_EQ(file.load().accounts, ScrobbleAccounts{}) << "none yet";
    const ScrobbleAccounts accounts{.listenBrainz = {{"tok", "https://lb.example"}},
                                    .lastFm = {{"key", "secret", "session", "ann"}}};
    ASSERT_EQ(file.save(accounts), "");
    struct ::stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(file.load().accounts, accounts);
    EXPECT_EQ(scrobbleServices(accounts, "1").size(), 2u);

    ::chmod(path.c_str(), 0644);
    ASSERT_EQ(file.save(accounts), "");
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a file opened to others is closed again";

    std::ofstream(path) << "{ broken";
    const auto loaded = file.load();
    EXPECT_EQ(loaded.accounts, ScrobbleAccounts{});
    EXPECT_EQ(slurp(loaded.movedAsidePath), "{ broken") << "kept for the user";
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsFileStoreTest, DefaultPathsFollowTheXdgVariables) {
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(SettingsFileStore::defaultPath(), "/tmp/xdg-test/platter/settings.plist");
    EXPECT_EQ(AccountsFile::defaultPath(), "/tmp/xdg-test/platter/accounts.json");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(SettingsFileStore::defaultPath(), "/home/someone/.config/platter/settings.plist")
        << "a relative value is ignored, as the XDG rules say";
    ::unsetenv("XDG_CONFIG_HOME");

    ::setenv("XDG_STATE_HOME", "/tmp/xdg-state", 1);
    EXPECT_EQ(StateDirectory::defaultPath(), "/tmp/xdg-state/platter");
    ::setenv("XDG_STATE_HOME", "relative", 1);
    EXPECT_EQ(StateDirectory::defaultPath(), "/home/someone/.local/state/platter");
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace platter
