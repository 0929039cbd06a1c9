// Time from launching Platter to its window showing the playlists, on the demo library and on
// generated libraries. Each run starts the real program in a fresh profile whose settings name
// the library; the program prints the time of its first paint of the playlists list (see
// PLATTER_LAUNCH_NS in its main) and quits. A generated library is launched twice: with no
// library database, and with one that counted plays of every song. Needs a display;
// scripts/bench-startup gives it a virtual one.

#include "core/model/file_url.h"
#include "core/plist/value.h"
#include "core/plist/xml_writer.h"
#include "core/services/task_runner.h"
#include "library_generator.h"
#include "platform/db/sqlite_library_database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One launch: the seconds until the playlists showed, or a negative number when it failed.
double launchOnce(const std::string& program, const fs::path& profile) {
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    const auto command = "PLATTER_LAUNCH_NS=" + std::to_string(now) + " XDG_CONFIG_HOME='" +
                         profile.string() + "' XDG_STATE_HOME='" + profile.string() + "/state' XDG_DATA_HOME='" + profile.string() +
                         "/data' '" + program +
                         "' 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return -1;
    double seconds = -1;
    char line[256];
    while (std::fgets(line, sizeof line, out))
        std::sscanf(line, "shown after %lf s", &seconds);
    ::pclose(out);
    return seconds;
}

struct Inline final : platter::TaskRunner {
    void runInBackground(std::function<void()> work, Lane) override { work(); }
    void runOnMainThread(std::function<void()>) override {}
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

// A library database in the profile that counted a play of every song of `library`, rated a
// third of them and skipped a fifth; opened once more, so the launches find its daily copy made.
void fillDatabase(const fs::path& profile, const fs::path& library) {
    Inline tasks;
    const auto path = (profile / "data/platter/library.sqlite").string();
    {
        platter::SqliteLibraryDatabase db(path, tasks);
        std::ifstream in(library);
        const std::string key = "<key>Persistent ID</key><string>";
        std::int64_t n = 0;
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find(key);
            if (at == std::string::npos) continue;
            const auto id = line.substr(at + key.size(), 16);
            db.addPlay(id, 1700000000 + n);
            if (n % 3 == 0) db.setRating(id, static_cast<int>(n % 101));
            if (n % 5 == 0) db.addSkip(id, 1700000000 + n);
            ++n;
        }
        db.flush();
    }
    platter::SqliteLibraryDatabase again(path, tasks);
}

// The median, or a negative number when a launch failed.
double measure(const std::string& program, const std::string& label, const fs::path& library, const fs::path& work,
               bool withDatabase = false) {
    const auto profile = work / ("profile-" + label);
    fs::remove_all(profile);
    fs::create_directories(profile / "platter");
    if (withDatabase) fillDatabase(profile, library);
    platter::plist::Dict settings;
    platter::plist::set(settings, "xmlUrl", platter::fileUrlFromPath(fs::absolute(library).string()));
    std::ofstream(profile / "platter" / "settings.plist") << platter::plist::writeXml(settings);

    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        ::usleep(300000); // let the last run's processes go
        runs.push_back(launchOnce(program, profile));
    }
    std::sort(runs.begin(), runs.end());
    if (runs.front() < 0) {
        std::printf("%-10s failed to start\n", label.c_str());
        return -1;
    }
    std::printf("%-10s best %.3f s   median %.3f s   worst %.3f s\n", label.c_str(), runs.front(), runs[2],
                runs.back());
    return runs[2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PLATTER DEMO_LIBRARY [TRACKS...]\n");
        return 2;
    }
    const std::string program = argv[1];
    const fs::path work = fs::current_path() / "build" / "bench-data";
    fs::create_directories(work);
    std::printf("launch to playlists shown, 5 runs each\n");
    measure(program, "demo", argv[2], work);
    std::vector<std::size_t> sizes;
    for (int i = 3; i < argc; ++i)
        sizes.push_back(std::stoul(argv[i]));
    if (argc == 3) sizes = {50000};
    for (const auto n : sizes) {
        const auto library = work / ("library-" + std::to_string(n) + ".xml");
        if (!fs::exists(library)) platter::bench::generateLibrary(library.string(), n);
        const auto label = std::to_string(n / 1000) + "k";
        const auto plain = measure(program, label, library, work);
        const auto counted = measure(program, label + "+db", library, work, true);
        if (plain > 0 && counted > 0)
            std::printf("%-10s with a database of every song's plays: %.2fx the launch without (goal: at most "
                        "1.15x)\n",
                        label.c_str(), counted / plain);
    }
}
