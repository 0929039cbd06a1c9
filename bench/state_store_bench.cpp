// Main-thread time spent storing state for a 200k-song playlist: a reshuffle of "All Songs"
// with its store, and the store after a finished song, beside what a finished song cost when
// it rewrote the whole settings file with every order in it. Prints the figures.

#include "core/persistence/state_writer.h"
#include "core/persistence/stored_state.h"
#include "core/plist/xml_writer.h"
#include "library_generator.h"
#include "platform/settings/settings_file_store.h"
#include "platform/settings/state_directory.h"
#include "support/app_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct ThreadTasks final : platter::TaskRunner {
    void runInBackground(std::function<void()> work, Lane = Lane::Disk) override { std::thread(std::move(work)).detach(); }
    void runOnMainThread(std::function<void()>) override {}
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

} // namespace

int main() {
    using namespace platter;
    const auto library = bench::benchLibrary(200000);
    testing::AppHarness harness;
    harness.useLibraryFile(library);
    auto& app = harness.launch(false);
    app.changePlaylistWithRow(0);
    app.showPlaylist();
    const auto songs = app.playlistAt(0)->shuffledSongs.size();

    // Background writes wait in the harness's task list: what is timed is the main thread's
    // part, the shuffle and the snapshot of its order.
    std::vector<double> reshuffles;
    for (int i = 0; i < 7; ++i) {
        const auto start = Clock::now();
        app.reshuffle();
        reshuffles.push_back(milliseconds(start));
    }

    const auto scratch = std::filesystem::temp_directory_path() / "platter-state-bench";
    std::filesystem::remove_all(scratch);
    PlistFileReader reader;
    PlaylistOrders orders{{"ALL", *harness.storedOrder(app.playlistAt(0)->persistentID())}};
    PlayingNumbers positions;
    for (int i = 0; i < 50; ++i)
        positions["PLAYLIST" + std::to_string(i)] = i;
    std::vector<double> before;
    {
        SettingsFileStore settings((scratch / "settings.plist").string(), reader);
        const plist::Dict values{{"playlists", playlistOrdersValue(orders)},
                                 {"playingNumbers", playingNumbersValue(positions)}};
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            settings.save(values);
            before.push_back(milliseconds(start));
        }
    }
    std::vector<double> after;
    {
        StateDirectory state((scratch / "state").string());
        ThreadTasks tasks;
        StateWriter writer(state, tasks, {});
        for (int i = 0; i < 1000; ++i) {
            positions["PLAYLIST0"] = i;
            const auto start = Clock::now();
            writer.write(state_files::positions,
                         [numbers = positions] { return plist::writeXml(playingNumbersValue(numbers)); });
            after.push_back(milliseconds(start));
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        writer.flush();
    }
    std::filesystem::remove_all(scratch);

    std::printf("state store, main thread, %zu-song playlist\n", songs);
    std::printf("  reshuffle with its store      median %8.2f ms   (goal <= 60 ms)\n", median(reshuffles));
    std::printf("  finished song, store          median %8.4f ms   (goal <= 1 ms)\n", median(after));
    std::printf("  finished song, whole settings median %8.2f ms   (as it was: every order rewritten)\n",
                median(before));
    return 0;
}
