#include "core/plist/xml_writer.h"
#include "core/persistence/state_writer.h"
#include "core/persistence/stored_state.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/settings/settings_file_store.h"
#include "platform/settings/state_directory.h"
#include "support/library_fixture.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platter {
namespace {

using Status = StateStorage::ReadResult::Status;

TEST(StateDirectory, ReadsBackWhatItWroteAndRefusesWhatIsNoFile) {
    testing::TempDir dir;
    StateDirectory state((dir.path() / "platter").string());
    EXPECT_EQ(state.read("positions.plist").status, Status::Missing);
    const auto orderFile = state_files::orderOf("../../etc/passwd");
    EXPECT_EQ(orderFile.find('/'), orderFile.rfind('/')) << "an ID never leads out of the orders folder";
    ASSERT_EQ(state.write(orderFile, "order"), "");
    EXPECT_EQ(state.read(orderFile).bytes, "order");
    EXPECT_EQ(state.remove(orderFile), "");
    EXPECT_EQ(state.remove(orderFile), "") << "gone already is fine";
    EXPECT_EQ(state.read(orderFile).status, Status::Missing);

    ASSERT_EQ(::mkfifo((dir.path() / "platter" / "positions.plist").c_str(), 0600), 0);
    const auto fifo = state.read("positions.plist");
    EXPECT_EQ(fifo.status, Status::Failed) << "a FIFO is refused, not waited on";
    EXPECT_NE(state.write("positions.plist", "x"), "");

    // A link to a file of the system's, as root would have it: never read, never written through.
    const auto victim = dir.write("passwd", "root:x:0:0");
    const auto link = dir.path() / "platter" / "seconds.plist";
    std::filesystem::create_symlink(victim, link);
    EXPECT_EQ(state.read("seconds.plist").status, Status::Failed) << "a link is no state file";
    EXPECT_EQ(state.write("seconds.plist", "seconds"), "");
    EXPECT_EQ(testing::TempDir::read(victim), "root:x:0:0");
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link itself is replaced by a file of its own";
    EXPECT_EQ(state.read("seconds.plist").bytes, "seconds");
}

TEST(StateDirectory, TheFirstReadInAFolderClearsWhatKilledWritesLeftThere) {
    testing::TempDir dir;
    const auto orders = dir.path() / "orders";
    std::filesystem::create_directories(orders);
    const auto leave = [&](const std::string& name, std::chrono::minutes age) {
        std::ofstream(orders / name) << "half";
        std::filesystem::last_write_time(orders / name, std::filesystem::file_time_type::clock::now() - age);
    };
    leave("A.plist.tmp-a1B2c3", std::chrono::minutes(5)); // another playlist's, killed
    leave("B.plist.tmp-d4E5f6", std::chrono::minutes(0)); // a write under way
    leave("notes.tmp-x", std::chrono::minutes(5));        // not one of ours
    StateDirectory state(dir.path().string());
    EXPECT_EQ(state.read("orders/C.plist").status, Status::Missing);
    EXPECT_FALSE(std::filesystem::exists(orders / "A.plist.tmp-a1B2c3"));
    EXPECT_TRUE(std::filesystem::exists(orders / "B.plist.tmp-d4E5f6"));
    EXPECT_TRUE(std::filesystem::exists(orders / "notes.tmp-x"));
}

// Runs background work on threads of its own; nothing waits for the main thread here.
struct ThreadTasks final : TaskRunner {
    void runInBackground(std::function<void()> work, Lane = Lane::Disk) override { std::thread(std::move(work)).detach(); }
    void runOnMainThread(std::function<void()>) override {}
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

// Plays and reshuffles for ever, as far as storing goes: every round stores a new order of a
// large playlist, a position and the settings, each marked with the round.
[[noreturn]] void storeForEver(const std::string& root, int firstRound) {
    PlistFileReader reader;
    StateDirectory state(root + "/state");
    SettingsFileStore settings(root + "/settings.plist", reader);
    ThreadTasks tasks;
    StateWriter writer(state, tasks, {});
    for (int round = firstRound;; ++round) {
        std::vector<std::string> order(5000, std::to_string(round));
        writer.write(state_files::orderOf("P"), [order] { return encodeOrder("P", order); });
        writer.write(state_files::positions, [round] {
            return plist::writeXml(playingNumbersValue({{"P", round}}));
        });
        settings.save(plist::Dict{{"round", std::int64_t{round}}});
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

TEST(StateDirectory, WritesFromTheMainThreadWhileTheWriterWorksEndWithTheNewest) {
    testing::TempDir dir;
    StateDirectory state(dir.path().string());
    ThreadTasks tasks;
    StateWriter writer(state, tasks, {});
    for (int i = 0; i <= 2000; ++i) {
        writer.write("positions.plist", [i] { return std::to_string(i); });
        if (i % 3 == 0) writer.write("orders/P.plist", [i] { return "order " + std::to_string(i); });
    }
    EXPECT_EQ(writer.flush(), "");
    EXPECT_EQ(state.read("positions.plist").bytes, "2000");
    EXPECT_EQ(state.read("orders/P.plist").bytes, "order 1998");
}

TEST(StateDirectory, KillsAtAnyMomentLeaveEveryFileWholeOldOrNew) {
    testing::TempDir dir;
    const auto root = dir.path().string();
    PlistFileReader reader;
    std::mt19937 random(7);
    for (int kill = 0; kill < 50; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) storeForEver(root, kill * 1000000);
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 30000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        // What the next start reads.
        StateDirectory state(root + "/state");
        const auto order = state.read(state_files::orderOf("P"));
        const auto positions = state.read(state_files::positions);
        if (order.status != Status::Missing) {
            const auto ids = decodeOrder(order.bytes, "P", reader);
            ASSERT_TRUE(ids) << "kill " << kill;
            ASSERT_EQ(ids->size(), 5000u);
            EXPECT_EQ(std::count(ids->begin(), ids->end(), ids->front()), 5000) << "one round's order, whole";
        }
        if (positions.status != Status::Missing) {
            EXPECT_TRUE(reader.parse(positions.bytes).document) << "kill " << kill;
        }
        SettingsFileStore settings(root + "/settings.plist", reader);
        EXPECT_NE(settings.load().status, SettingsFile::Status::Corrupt) << "kill " << kill;
    }
}

} // namespace
} // namespace platter
