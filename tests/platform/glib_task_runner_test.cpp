#include "core/services/cancel_token.h"
#include "platform/net/curl_http_fetch.h"
#include "platform/system/gio_file_watcher.h"
#include "platform/system/glib_task_runner.h"
#include "support/audio_fixture.h"
#include "support/fake_catalogue.h"
#include "support/library_fixture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace platter {
namespace {

TEST(GlibTaskRunner, BackgroundWorkHandsItsResultToTheMainThread) {
    GlibTaskRunner tasks;
    const auto mainThread = std::this_thread::get_id();
    std::thread::id workedOn, deliveredOn;
    int result = 0;
    tasks.runInBackground([&] {
        workedOn = std::this_thread::get_id();
        tasks.runOnMainThread([&] {
            deliveredOn = std::this_thread::get_id();
            result = 42;
        });
    });
    ASSERT_TRUE(testing::pumpUntil([&] { return result == 42; }));
    EXPECT_NE(workedOn, mainThread);
    EXPECT_EQ(deliveredOn, mainThread);
}

TEST(GlibTaskRunner, DelayedTasksWaitTheirTime) {
    GlibTaskRunner tasks;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration waited{};
    tasks.runOnMainThreadAfter(std::chrono::milliseconds(150),
                               [&] { waited = std::chrono::steady_clock::now() - start; });
    ASSERT_TRUE(testing::pumpUntil([&] { return waited.count() > 0; }));
    EXPECT_GE(waited, std::chrono::milliseconds(150));
}

// A catalogue that takes the request and never answers, a client that would wait 15 s for it.
TEST(GlibTaskRunner, DiskWorkPassesAHangingRequestWhichACancelThenEnds) {
    testing::FakeCatalogue catalogue([](const std::string&) { return testing::CatalogueReply{200, "", 60}; });
    CurlHttpFetch http(5000, 15000);
    CancelToken cancel;
    std::optional<GlibTaskRunner> tasks(std::in_place);
    std::atomic<bool> answered = false, written = false;
    tasks->runInBackground(
        [&] {
            EXPECT_FALSE(http.get(catalogue.base() + "/search", cancel).ok);
            answered = true;
        },
        TaskRunner::Lane::Network);
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue.targets().size() == 1; }));
    tasks->runInBackground([&] { written = true; });
    ASSERT_TRUE(testing::pumpUntil([&] { return written.load(); }, 5));
    EXPECT_FALSE(answered) << "the request still hangs";

    const auto start = std::chrono::steady_clock::now();
    cancel.cancel();
    tasks.reset();
    const auto stopped = std::chrono::steady_clock::now() - start;
    RecordProperty("stopMilliseconds",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(stopped).count()));
    EXPECT_TRUE(answered);
    EXPECT_LT(stopped, std::chrono::seconds(3)) << "stopped by the cancel, not by the time-out";
    EXPECT_FALSE(http.get(catalogue.base() + "/lookup", cancel).ok);
    EXPECT_EQ(catalogue.targets().size(), 1u) << "nothing is sent once cancelled";
}

// Another file of the folder is not looked at here: the monitor's late hints about the watched
// file (some come after a delay of their own) would make that check depend on timing.
TEST(GioFileWatcher, SeesAFileWrittenAndOneRenamedOverIt) {
    testing::TempDir dir;
    const auto library = dir.write("Library.xml", "first");
    GioFileWatcher watcher;
    int changes = 0;
    watcher.watch(library.string(), [&] { ++changes; });
    testing::pumpUntil([] { return false; }, 0.2); // the monitor settles
    changes = 0;
    dir.write("Library.xml", "second");
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 5)) << "written in place";
    // Sync tools and the library application replace the file whole.
    const auto replacement = dir.write("Library.xml.tmp", "third");
    testing::pumpUntil([] { return false; }, 0.2);
    changes = 0;
    std::filesystem::rename(replacement, library);
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 5)) << "renamed over it";
}

TEST(GioFileWatcher, FollowsALinkToItsTargetAndOutlivesItsFolderReplaced) {
    testing::TempDir dir;
    const auto target = dir.write("sync/Library.xml", "first");
    const auto library = dir.path() / "Music" / "Library.xml";
    std::filesystem::create_directories(library.parent_path());
    std::filesystem::create_symlink("../sync/Library.xml", library);
    GioFileWatcher watcher;
    int changes = 0;
    watcher.watch(library.string(), [&] { ++changes; });
    const auto settle = [&] {
        testing::pumpUntil([] { return false; }, 0.3);
        changes = 0;
    };
    settle();
    dir.write("sync/Library.xml", "second");
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 5)) << "the link's target written";

    // The folder replaced as a whole, the link with it: the new folder's file is the one watched.
    // GIO alone sees a folder made anew only when it next looks for missing ones, four seconds
    // later.
    settle();
    std::filesystem::rename(dir.path() / "Music", dir.path() / "Music.old");
    dir.write("Music/Library.xml", "third");
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 2.5)) << "the folder replaced";
    settle();
    dir.write("Music/Library.xml", "fourth");
    EXPECT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 1)) << "the new folder's file written";
    settle();
    std::filesystem::remove_all(dir.path() / "Music");
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 5)) << "the folder deleted";
    settle();
    dir.write("Music/Library.xml", "fifth");
    ASSERT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 2.5)) << "the folder made anew";
    settle();
    dir.write("Music/Library.xml", "sixth");
    EXPECT_TRUE(testing::pumpUntil([&] { return changes > 0; }, 1)) << "and its file written";
    settle();
    dir.write("sync/Library.xml", "seventh");
    testing::pumpUntil([] { return false; }, 0.5);
    EXPECT_EQ(changes, 0) << "the old target is no longer the library";
}

} // namespace
} // namespace platter
