#include "platform/db/library_file.h"
#include "platform/db/sqlite_handle.h"
#include "platform/db/sqlite_library_database.h"
#include "support/library_fixture.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <random>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platter {
namespace {

namespace fs = std::filesystem;

// The main thread's tasks, run when the test says.
struct MainThread final : TaskRunner {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    void runInBackground(std::function<void()> work, Lane = Lane::Disk) override { work(); }
    void runOnMainThread(std::function<void()> task) override {
        const std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()> task) override {
        runOnMainThread(std::move(task));
    }
    void drain() {
        for (;;) {
            std::function<void()> task;
            {
                const std::lock_guard lock(mutex);
                if (tasks.empty()) return;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
    }
};

constexpr std::int64_t day = 24 * 60 * 60;
constexpr std::int64_t start = 1'800'000'000;

// Runs SQL on a file of the test's own, as another program (or an earlier Platter) would.
void execute(const fs::path& file, const std::string& sql) {
    int code = SQLITE_OK;
    std::string error;
    auto db =
        sqlite::Connection::open(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, code, error);
    ASSERT_TRUE(db) << error;
    ASSERT_EQ(db.exec(sql.c_str()), SQLITE_OK) << db.errorText();
}

std::int64_t countIn(const fs::path& file, const char* sql) {
    int code = SQLITE_OK;
    std::string error;
    auto db = sqlite::Connection::open(file.string(), SQLITE_OPEN_READONLY, code, error);
    return db ? db.integer(sql).value_or(-1) : -1;
}

unsigned modeOf(const fs::path& file) {
    struct ::stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

class LibraryDatabaseTest : public ::testing::Test {
protected:
    std::unique_ptr<SqliteLibraryDatabase> open(std::int64_t at = start) {
        return std::make_unique<SqliteLibraryDatabase>(path.string(), main, [at] { return at; });
    }
    std::vector<Listen> pending(LibraryDatabase& db, const std::string& service, std::size_t limit = 100) {
        std::vector<Listen> listens;
        db.pendingListens(service, limit, [&](std::vector<Listen> got) { listens = std::move(got); });
        db.flush();
        main.drain();
        return listens;
    }

    testing::TempDir dir;
    fs::path path = dir.path() / "data" / "platter" / "library.sqlite";
    MainThread main;
};

TEST_F(LibraryDatabaseTest, KeepsWhatWasCountedAddedAndQueuedAcrossAReopen) {
    std::vector<std::string> acknowledged;
    const auto ack = [&](const std::string& error) { acknowledged.push_back(error); };
    LibraryDatabase::ListenId first = 0, last = 0;
    {
        auto db = open();
        EXPECT_TRUE(std::holds_alternative<DatabaseOpened>(db->openReport()));
        db->addPlay("A", 100, ack);
        db->addPlay("A", 200);
        db->addSkip("A", 150);
        db->setRating("A", 150); // out of range: brought to 100
        db->setAlbumRating("A", 60);
        db->setLoved("B", true);
        db->setRating("C", 40);
        db->setRating("C", std::nullopt);
        db->upsertAddedSong({"X", "/music/x.flac", 10, 20, R"({"title":"X"})"});
        db->upsertAddedSong({"Y", "/music/x.flac", 11, 21, "{}"}, ack); // another song at X's path
        db->upsertAddedSong({"Z", "/music/z.flac", 1, 2, "{}"});
        db->addPlay("Z", 300);
        db->removeAddedSong("Z");
        first = db->enqueueListen("scrobbler", "one");
        db->enqueueListen("other", "two");
        last = db->enqueueListen("scrobbler", "three");
        db->removeListens({last, 9999}, ack);
        db->setLastAccepted("other", 400);
        db->setLastAccepted("other", 500);
        EXPECT_EQ(db->flush(), "");
        main.drain();
        EXPECT_EQ(acknowledged, (std::vector<std::string>{"", "", ""}));
    }
    auto db = open();
    EXPECT_TRUE(std::holds_alternative<DatabaseOpened>(db->openReport()));
    auto all = db->readAll();
    EXPECT_EQ(all.size(), 4u);
    EXPECT_EQ(all["A"], (SongStats{2, 200, 1, 150, 100, 60, false}));
    EXPECT_TRUE(all["B"].loved);
    EXPECT_EQ(all["C"], SongStats{}) << "a rating taken back";
    EXPECT_EQ(all["Z"].plays, 1) << "a removed song keeps its statistics";
    EXPECT_EQ(db->readAddedSongs(), (std::vector<AddedSong>{{"Y", "/music/x.flac", 11, 21, "{}"}}));

    const auto next = db->enqueueListen("scrobbler", "four");
    EXPECT_GT(next, last) << "the ID of a removed listen is not given again";
    EXPECT_EQ(pending(*db, "scrobbler"), (std::vector<Listen>{{first, "one"}, {next, "four"}}));
    EXPECT_EQ(pending(*db, "scrobbler", 1), (std::vector<Listen>{{first, "one"}}));
    std::vector<ListenQueueState> states;
    for (const auto* service : {"other", "scrobbler"})
        db->queueState(service, [&](ListenQueueState state) { states.push_back(state); });
    db->flush();
    main.drain();
    EXPECT_EQ(states, (std::vector<ListenQueueState>{{1, 500}, {2, std::nullopt}}));
}

TEST_F(LibraryDatabaseTest, OpensTheFilesOfEarlierVersionsAndLeavesOthersAlone) {
    // Version 1 as its first release wrote it, kept here as it was: a layout changed in place
    // instead of by a migration fails this.
    fs::create_directories(path.parent_path());
    execute(path, R"sql(
        CREATE TABLE song_stats (persistent_id TEXT PRIMARY KEY NOT NULL, plays INTEGER NOT NULL DEFAULT 0,
            last_played INTEGER, skips INTEGER NOT NULL DEFAULT 0, last_skipped INTEGER,
            rating INTEGER CHECK (rating BETWEEN 0 AND 100), album_rating INTEGER CHECK (album_rating BETWEEN 0 AND 100),
            loved INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;
        CREATE TABLE added_songs (persistent_id TEXT PRIMARY KEY NOT NULL, path TEXT NOT NULL UNIQUE,
            size INTEGER NOT NULL, modified_ns INTEGER NOT NULL, tags TEXT NOT NULL) WITHOUT ROWID;
        CREATE TABLE listens (id INTEGER PRIMARY KEY AUTOINCREMENT, service TEXT NOT NULL, payload TEXT NOT NULL);
        CREATE INDEX listens_by_service ON listens (service, id);
        CREATE TABLE meta (key TEXT PRIMARY KEY NOT NULL, value) WITHOUT ROWID;
        INSERT INTO song_stats VALUES ('A', 3, 10, 1, 11, 80, NULL, 1);
        INSERT INTO added_songs VALUES ('N', '/music/n.ogg', 5, 6, '{}');
        INSERT INTO listens VALUES (7, 'scrobbler', 'seven');
        PRAGMA application_id = 1347179602; PRAGMA user_version = 1;)sql");
    {
        auto db = open();
        ASSERT_TRUE(std::holds_alternative<DatabaseOpened>(db->openReport()));
        EXPECT_EQ(db->readAll()["A"], (SongStats{3, 10, 1, 11, 80, std::nullopt, true}));
        EXPECT_EQ(db->readAddedSongs().size(), 1u);
        EXPECT_EQ(pending(*db, "scrobbler"), (std::vector<Listen>{{7, "seven"}}));
        EXPECT_EQ(db->enqueueListen("scrobbler", "eight"), 8);
    }

    // Version 0: the empty file a kill during the very first start leaves.
    fs::remove(path);
    fs::remove(backupPathOf(path.string()));
    dir.write("data/platter/library.sqlite", "");
    {
        auto db = open();
        ASSERT_TRUE(std::holds_alternative<DatabaseOpened>(db->openReport()));
        db->addPlay("A", 1);
        EXPECT_EQ(db->flush(), "");
        EXPECT_EQ(db->readAll()["A"].plays, 1);
    }

    // A newer Platter's file is kept as it is, and nothing is written to it.
    execute(path, "PRAGMA user_version = 2");
    const auto before = testing::TempDir::read(path);
    {
        auto db = open();
        const auto* why = std::get_if<DatabaseUnavailable>(&db->openReport());
        ASSERT_TRUE(why);
        EXPECT_EQ(why->reason, DatabaseUnavailable::Reason::NewerVersion);
        std::string refused;
        db->addPlay("A", 2, [&](const std::string& error) { refused = error; });
        EXPECT_NE(db->flush(), "");
        main.drain();
        EXPECT_NE(refused, "");
        EXPECT_TRUE(db->readAll().empty());
    }
    EXPECT_EQ(testing::TempDir::read(path), before);

    // A folder that cannot be made: a file stands where it would be.
    path = dir.write("file", "x") / "library.sqlite";
    const auto db = open();
    const auto* why = std::get_if<DatabaseUnavailable>(&db->openReport());
    ASSERT_TRUE(why);
    EXPECT_EQ(why->reason, DatabaseUnavailable::Reason::CannotOpen);
}

TEST_F(LibraryDatabaseTest, ADamagedFileIsMovedAsideAndTheLastBackupTakesItsPlace) {
    const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> damages{
        {"garbage",
         [](const fs::path& file) {
             std::string bytes(fs::file_size(file), '\0');
             std::mt19937 random(3);
             for (auto& byte : bytes)
                 byte = static_cast<char>(random());
             std::ofstream(file, std::ios::binary) << bytes;
         }},
        {"garbled past its first page",
         [](const fs::path& file) {
             std::fstream bytes(file, std::ios::binary | std::ios::in | std::ios::out);
             bytes.seekp(4096);
             for (auto left = fs::file_size(file) - 4096; left > 0; --left)
                 bytes.put('\x5a');
         }},
        {"cut short", [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); }},
        {"no database",
         [](const fs::path& file) { std::ofstream(file) << "<?xml version=\"1.0\"?><plist/>"; }},
        {"another program's",
         [](const fs::path& file) {
             fs::remove(file);
             execute(file, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
         }},
        {"emptied", [](const fs::path& file) { fs::resize_file(file, 0); }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        fs::remove_all(path.parent_path());
        open(start)->addPlay("in the backup", 1);
        open(start + day)->addPlay("after the backup", 2); // the backup is a day old: renewed first
        damage(path);
        const auto damaged = testing::TempDir::read(path);

        auto db = open(start + day + 60);
        const auto* restored = std::get_if<DatabaseRestoredFromBackup>(&db->openReport());
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->backupDate, start + day);
        EXPECT_EQ(testing::TempDir::read(restored->movedAsidePath), damaged) << "never deleted";
        EXPECT_NE(restored->movedAsidePath.find("library.sqlite.damaged-"), std::string::npos);
        auto all = db->readAll();
        EXPECT_EQ(all.count("in the backup"), 1u);
        EXPECT_EQ(all.count("after the backup"), 0u);
    }

    // With the backup damaged too, both are moved aside and an empty database begins.
    std::ofstream(path, std::ios::binary) << "junk";
    std::ofstream(backupPathOf(path.string()), std::ios::binary) << "junk";
    {
        auto db = open(start + 3 * day);
        const auto* afresh = std::get_if<DatabaseStartedAfresh>(&db->openReport());
        ASSERT_TRUE(afresh);
        EXPECT_EQ(testing::TempDir::read(afresh->movedAsidePath), "junk");
        EXPECT_TRUE(db->readAll().empty());
        db->addPlay("A", 3);
    }
    const auto asideAs = [&](const std::string& prefix) {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(path.parent_path()))
            count += entry.path().filename().string().starts_with(prefix);
        return count;
    };
    EXPECT_EQ(asideAs("library.sqlite.backup.damaged-"), 1u);

    // A newer Platter's backup is no copy to restore, nor one for the next daily copy to replace.
    std::ofstream(path, std::ios::binary) << "junk";
    execute(backupPathOf(path.string()), "PRAGMA user_version = 2");
    EXPECT_TRUE(std::holds_alternative<DatabaseStartedAfresh>(open(start + 5 * day)->openReport()));
    EXPECT_EQ(asideAs("library.sqlite.backup.newer-"), 1u);

    // A database that went missing beside its backup comes back from it.
    fs::remove(path);
    const auto db = open(start + 5 * day);
    const auto* restored = std::get_if<DatabaseRestoredFromBackup>(&db->openReport());
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->movedAsidePath, "");
    EXPECT_EQ(db->readAll().size(), 0u) << "the backup of the fresh start, made before the play";
}

TEST_F(LibraryDatabaseTest, TheBackupIsRenewedOnceADayAndEveryFileIsTheUsersAlone) {
    const auto backup = fs::path(backupPathOf(path.string()));
    const auto plays = "SELECT count(*) FROM song_stats";
    {
        auto db = open(start);
        db->addPlay("A", 1);
        db->flush();
        EXPECT_EQ(modeOf(path), 0600u);
        EXPECT_EQ(modeOf(path.string() + "-wal"), 0600u);
        EXPECT_EQ(modeOf(path.parent_path()), 0700u);
    }
    EXPECT_EQ(countIn(backup, plays), 0) << "made at the open, before the play";
    open(start + day - 60)->addPlay("B", 2);
    EXPECT_EQ(countIn(backup, plays), 0) << "not yet a day old";
    open(start + day)->addPlay("C", 3);
    EXPECT_EQ(countIn(backup, plays), 2);
    EXPECT_EQ(modeOf(backup), 0600u);
}

TEST_F(LibraryDatabaseTest, AChangeTheFileRefusedIsTriedAgainUntilItIsOnDisk) {
    auto db = open();
    db->flush();
    // Another program holds the file for writing while a play comes.
    int code = SQLITE_OK;
    std::string error;
    auto other = sqlite::Connection::open(path.string(), SQLITE_OPEN_READWRITE, code, error);
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    std::vector<std::string> heard;
    db->addPlay("A", 1, [&](const std::string& why) { heard.push_back(why); });
    EXPECT_NE(db->flush(), "") << "not on disk yet";
    main.drain();
    EXPECT_TRUE(heard.empty()) << "neither stored nor given up";

    ASSERT_EQ(other.exec("COMMIT"), SQLITE_OK);
    EXPECT_EQ(db->flush(), "");
    main.drain();
    EXPECT_EQ(heard, std::vector<std::string>{""});
    EXPECT_EQ(db->readAll()["A"].plays, 1);
}

// Counts plays of one song for ever, telling `acknowledged` each play it hears is on disk.
TEST_F(LibraryDatabaseTest, AReadTakenAtAGroupsStartWritesNoneOfTheGroupBeforeItEnds) {
    auto db = open();
    db->flush();
    const auto plays = [&] { return countIn(path, "SELECT count(*) FROM song_stats"); };
    {
        const ChangesTogether together(db.get());
        bool answered = false;
        db->queueState("s", [&](ListenQueueState) { answered = true; });
        db->addPlay("A", 1); // in the queue behind the read, before the worker takes it
        while (!answered)
            main.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(30)); // for a play taken too early to land
        EXPECT_EQ(plays(), 0) << "the play went without its listen";
        db->enqueueListen("s", "1");
    }
    EXPECT_EQ(db->flush(), "");
    EXPECT_EQ(plays(), 1);
}

[[noreturn]] void countForEver(const std::string& path, const std::string& song, int acknowledged) {
    struct AtOnce final : TaskRunner {
        void runInBackground(std::function<void()> work, Lane) override { work(); }
        void runOnMainThread(std::function<void()> task) override { task(); }
        void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()> task) override { task(); }
    } tasks;
    SqliteLibraryDatabase db(path, tasks);
    for (std::int64_t round = 1;; ++round) {
        {
            const ChangesTogether together(&db);
            db.addPlay(song, round, [=](const std::string& error) {
                if (error.empty() && ::write(acknowledged, &round, sizeof round) < 0) std::abort();
            });
            db.enqueueListen(song, std::to_string(round));
        }
        db.upsertAddedSong({song, "/music/" + song, round, round, "{}"});
        if (round % 50 == 0 && db.flush().empty() && ::write(acknowledged, &round, sizeof round) < 0)
            std::abort();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

TEST_F(LibraryDatabaseTest, KillsAtAnyMomentKeepEveryAcknowledgedChangeInAWholeDatabase) {
    std::mt19937 random(11);
    for (int kill = 0; kill < 50; ++kill) {
        SCOPED_TRACE(kill);
        const auto song = "song " + std::to_string(kill);
        int pipe[2];
        ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) countForEver(path.string(), song, pipe[1]);
        ::close(pipe[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 100000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::int64_t round = 0, highest = 0;
        while (::read(pipe[0], &round, sizeof round) == sizeof round)
            highest = std::max(highest, round);
        ::close(pipe[0]);

        // The system's clock, as the child's.
        const auto db = std::make_unique<SqliteLibraryDatabase>(path.string(), main);
        ASSERT_TRUE(std::holds_alternative<DatabaseOpened>(db->openReport()));
        const auto stats = db->readAll()[song];
        EXPECT_GE(stats.plays, highest);
        EXPECT_EQ(stats.lastPlayed.value_or(0), stats.plays) << "each play whole, in order";
        const auto listens = pending(*db, song, 1'000'000);
        ASSERT_EQ(listens.size(), static_cast<std::size_t>(stats.plays)) << "each play with its listen";
        for (std::size_t i = 0; i < listens.size(); ++i)
            ASSERT_EQ(listens[i].payload, std::to_string(i + 1));
    }
}

} // namespace
} // namespace platter
