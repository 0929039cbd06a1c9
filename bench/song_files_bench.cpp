// The search for a copied library's files: 50,000 small files in the library application's
// folder layout, a third of their names in another case than the library spells them. Prints
// how many were found, how long the background search took with a warm and (where this user
// may drop the kernel's caches) a cold file-system cache, and the longest time the main loop
// was busy meanwhile.
//
//   song_files_bench [SONGS] [FOLDER]   (default 50000, a folder under the system's temp dir)

#include "core/app/app_delegate.h"
#include "core/plist/xml_writer.h"
#include "core/app/app_events.h"
#include "platform/system/glib_task_runner.h"
#include "support/app_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glib.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace platter;

const std::string musicFolder = "file://localhost/C:/Users/Pat/Music/iTunes/iTunes%20Media/";

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// The tree under FOLDER/iTunes/iTunes Media/Music and the library file beside it; the tree is
// made once and kept for later runs.
fs::path makeLibrary(const fs::path& folder, int songs) {
    const auto library = folder / "iTunes" / "iTunes Music Library.xml";
    const bool haveTree = fs::exists(folder / "complete");
    plist::Dict tracks;
    tracks.reserve(static_cast<std::size_t>(songs));
    for (int i = 0; i < songs; ++i) {
        const auto artist = "Artist " + std::to_string(i / 100);
        const auto album = "Album " + std::to_string(i / 10);
        const auto title = std::to_string(i % 10 + 1) + " Song " + std::to_string(i) + ".mp3";
        // A third of the names are spelt in another case on disk: folders and files in turn.
        const auto diskArtist = i % 3 == 0 && (i / 3) % 2 == 0 ? upper(artist) : artist;
        const auto diskTitle = i % 3 == 0 && (i / 3) % 2 == 1 ? upper(title) : title;
        if (!haveTree) {
            const auto dir = folder / "iTunes" / "iTunes Media" / "Music" / diskArtist / album;
            fs::create_directories(dir);
            std::ofstream(dir / diskTitle) << 'x';
        }
        plist::Dict track{{"Track ID", i + 1},
                          {"Name", "Song " + std::to_string(i)},
                          {"Artist", artist},
                          {"Album", album},
                          {"Total Time", 180000},
                          {"Persistent ID", "P" + std::to_string(i)},
                          {"Location", musicFolder + "Music/" + artist + "/" + album + "/" + title}};
        for (auto& [key, value] : track)
            if (key == "Location")
                if (auto* s = value.get<std::string>())
                    for (std::size_t at; (at = s->find(' ')) != std::string::npos;)
                        s->replace(at, 1, "%20");
        tracks.emplace_back(std::to_string(i + 1), std::move(track));
    }
    if (!haveTree) std::ofstream(folder / "complete") << "";
    plist::Dict root{{"Major Version", 1}, {"Music Folder", musicFolder}, {"Tracks", std::move(tracks)},
                     {"Playlists", plist::Array{}}};
    std::ofstream(library) << plist::writeXml(root);
    return library;
}

struct SearchEnds final : AppObserver {
    bool ended = false;
    void appChanged(AppEvent event) override {
        if (event == AppEvent::SongFiles) ended = true;
    }
};

struct Run {
    double seconds;
    double longestMainIteration;
};

// One search from its start to its results shown, with the main loop turning meanwhile.
Run search(AppDelegate& app, SearchEnds& view) {
    view.ended = false;
    const auto start = Clock::now();
    app.findSongFiles();
    double longest = std::chrono::duration<double>(Clock::now() - start).count();
    // Only dispatching counts as busy, not waiting for something to dispatch.
    while (!view.ended) {
        const auto before = Clock::now();
        const bool dispatched = g_main_context_iteration(nullptr, FALSE);
        longest = std::max(longest, std::chrono::duration<double>(Clock::now() - before).count());
        if (!dispatched) g_usleep(200);
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(), longest};
}

bool dropCaches() {
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    if (!drop) return false;
    drop << "3\n";
    drop.flush();
    return static_cast<bool>(drop);
}

} // namespace

int main(int argc, char** argv) {
    const int songs = argc > 1 ? std::atoi(argv[1]) : 50000;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / ("platter-files-bench-" + std::to_string(songs));
    fs::create_directories(folder / "iTunes");
    const auto made = Clock::now();
    const auto library = makeLibrary(folder, songs);
    std::printf("tree and library of %d songs at %s (%.1f s)\n", songs, folder.c_str(),
                std::chrono::duration<double>(Clock::now() - made).count());

    // Every search is waited for below, so no background work outlives the controller.
    GlibTaskRunner tasks;
    SearchEnds view;
    testing::AppHarness harness;
    harness.useLibraryFile(library);
    harness.defaults = std::make_unique<UserDefaults>(harness.settings);
    AppDelegate app(harness.services({.tasks = &tasks}));
    app.addObserver(&view);
    if (app.applicationDidFinishLaunching() != AppDelegate::LaunchResult::Ready) return 1;
    while (!view.ended)
        g_main_context_iteration(nullptr, TRUE); // the search the build started

    const auto report = [&](const char* what, const Run& run) {
        const auto& counts = app.libraryFiles();
        std::printf("%-5s search: %.3f s, found %lld of %lld, main loop busy at most %.1f ms at a time\n", what,
                    run.seconds, static_cast<long long>(counts.found), static_cast<long long>(counts.total()),
                    run.longestMainIteration * 1000);
    };
    for (int i = 0; i < 3; ++i)
        report("warm", search(app, view));
    if (dropCaches())
        report("cold", search(app, view));
    else
        std::printf("cold  search: not measured (the kernel's caches cannot be dropped by this user)\n");
    return app.libraryFiles().found == songs ? 0 : 1;
}
