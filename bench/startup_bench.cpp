// Time from launching Platter to its window showing the playlists, on the demo library and on
// generated libraries. Each run starts the real program in a fresh profile whose settings name
// the library; the program prints the time of its first paint of the playlists list (see
// PLATTER_LAUNCH_NS in its main) and quits. Needs a display; scripts/bench-startup gives it a
// virtual one.

#include "core/model/file_url.h"
#include "core/plist/value.h"
#include "core/plist/xml_writer.h"
#include "library_generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

void measure(const std::string& program, const std::string& label, const fs::path& library,
             const fs::path& work) {
    const auto profile = work / ("profile-" + label);
    fs::remove_all(profile);
    fs::create_directories(profile / "platter");
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
        return;
    }
    std::printf("%-10s best %.3f s   median %.3f s   worst %.3f s\n", label.c_str(), runs.front(), runs[2],
                runs.back());
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
        measure(program, std::to_string(n / 1000) + "k", library, work);
    }
}
