// The longest time the main loop goes without running while Platter, wired as the program wires
// it, (a) starts playing a playlist and queues its forty minutes, (b) seeks in a song, playing
// and paused, and (c) takes in its 200k-track library file after it changed on disk. A 1 ms
// timer on the main loop notes the longest gap between two of its runs beyond its interval.
// The songs have real files: a few hundred short Ogg tones, made once, each used by many tracks.
// The players are GStreamer's: the system's output, or a silent one keeping real time.
//
//   main_loop_stall_bench [TRACKS]   (default 200000; run from the repository's root)

#include "app/platter_app.h"
#include "core/model/file_url.h"
#include "core/plist/value.h"
#include "core/plist/xml_writer.h"
#include "core/services/log.h"
#include "library_generator.h"
#include "main_loop_probe.h"
#include "platform/audio/gst_pipeline.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using platter::AppDelegate;
using platter::bench::runFor;
using platter::bench::runUntil;
using platter::bench::StallProbe;

constexpr int toneCount = 300;
constexpr int toneSeconds = 10;

long long millis(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

// One case: `start` runs from the main loop, as a click would; the case lasts until `done`.
void measure(StallProbe& probe, const char* name, const std::function<void()>& start,
             const std::function<bool()>& done) {
    runFor(200ms);
    probe.reset();
    const auto began = Clock::now();
    bool started = false;
    QTimer::singleShot(0, [&] {
        start();
        started = true;
    });
    const bool finished = runUntil([&] { return started && done(); });
    const auto took = Clock::now() - began;
    runFor(20ms); // the probe's next run closes the last gap
    std::printf("longest main-loop stall: %s: %lld ms (done after %lld ms%s)\n", name,
                millis(probe.longest()), millis(took), finished ? "" : ", gave up waiting");
    std::fflush(stdout);
}

// The tones, made once and kept for later runs.
std::vector<fs::path> makeTones(const fs::path& folder) {
    std::vector<fs::path> tones;
    fs::create_directories(folder);
    const bool made = fs::exists(folder / "complete");
    for (int i = 0; i < toneCount; ++i) {
        tones.push_back(folder / ("tone-" + std::to_string(i) + ".ogg"));
        if (made) continue;
        const auto description = "audiotestsrc num-buffers=" + std::to_string(toneSeconds * 10) +
                                 " samplesperbuffer=4410 freq=" + std::to_string(220 + i) +
                                 " ! audio/x-raw,rate=44100,channels=1 ! audioconvert ! vorbisenc ! oggmux ! "
                                 "filesink location=\"" +
                                 tones.back().string() + "\"";
        if (const auto error = platter::runPipeline(description); !error.empty()) {
            std::fprintf(stderr, "cannot make %s: %s\n", tones.back().c_str(), error.c_str());
            std::exit(1);
        }
    }
    std::ofstream(folder / "complete") << "";
    return tones;
}

std::string urlOf(const fs::path& path) {
    auto url = platter::fileUrlFromPath(fs::absolute(path).string());
    url.insert(7, "localhost"); // as the music application writes them
    return url;
}

// A generated library whose every track's location is one of the tones, made once.
fs::path makeLibrary(const fs::path& work, std::size_t tracks) {
    const auto library = work / ("stall-library-" + std::to_string(tracks) + ".xml");
    if (fs::exists(library)) return library;
    const auto tones = makeTones(work / "stall-tones");
    const auto generated = work / "stall-generated.xml";
    platter::bench::generateLibrary(generated.string(), tracks);
    std::ifstream in(generated);
    std::ofstream out(work / "stall-library.tmp");
    const std::string key = "<key>Location</key><string>";
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        if (const auto at = line.find(key); at != std::string::npos)
            line = line.substr(0, at + key.size()) + urlOf(tones[n++ % tones.size()]) + "</string>";
        out << line << '\n';
    }
    out.close();
    fs::remove(generated);
    fs::rename(work / "stall-library.tmp", library);
    return library;
}

// The library file as the music application rewrites it: one song renamed, the file replaced.
void rewriteLibrary(const fs::path& library) {
    std::string text;
    {
        std::ifstream in(library, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string key = "<key>Name</key><string>";
    if (const auto at = text.find(key); at != std::string::npos) text.insert(at + key.size(), "Renamed ");
    const auto written = fs::path(library).concat(".new");
    std::ofstream(written, std::ios::binary) << text;
    fs::rename(written, library);
}

// The two generated playlists with the most songs, short of the whole library's.
std::vector<std::size_t> pickPlaylists(const AppDelegate& app) {
    std::vector<std::size_t> picked;
    const auto& playlists = app.allPlaylists();
    for (std::size_t i = 0; i < playlists.size(); ++i)
        if (playlists[i]->songs().size() < 10000) picked.push_back(i);
    std::stable_sort(picked.begin(), picked.end(), [&](std::size_t a, std::size_t b) {
        return playlists[a]->songs().size() > playlists[b]->songs().size();
    });
    picked.resize(std::min<std::size_t>(picked.size(), 2));
    return picked;
}

} // namespace

int main(int argc, char** argv) {
    if (const char* categories = std::getenv("PLATTER_LOG")) platter::log::enable(categories);
    const std::size_t tracks = argc > 1 ? std::stoul(argv[1]) : 200000;
    const fs::path work = fs::current_path() / "build" / "bench-data";
    fs::create_directories(work);
    const auto pristine = makeLibrary(work, tracks);

    // A profile of its own, whose settings name a copy of the library.
    char folder[] = "/tmp/platter-stall-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const fs::path profile = folder;
    const auto library = profile / "iTunes Music Library.xml";
    fs::copy_file(pristine, library);
    fs::create_directories(profile / "config/platter");
    platter::plist::Dict settings;
    platter::plist::set(settings, "xmlUrl", platter::fileUrlFromPath(library.string()));
    std::ofstream(profile / "config/platter/settings.plist") << platter::plist::writeXml(settings);
    ::setenv("XDG_CONFIG_HOME", (profile / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (profile / "state").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (profile / "cache").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (profile / "data").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    int status = 0;
    {
        QApplication qtApp(argc, argv);
        platter::PlatterApp program({.linkPanes = false, .onBus = false});
        auto& app = program.delegate();
        std::printf("%zu tracks, songs of %d s\n", tracks, toneSeconds);
        if (program.launch() != AppDelegate::LaunchResult::Ready ||
            !runUntil([&] { return app.songFilesKnown(); })) {
            std::fprintf(stderr, "Platter did not start on %s\n", library.c_str());
            status = 1;
        }
        const auto chosen = status == 0 ? pickPlaylists(app) : std::vector<std::size_t>();
        if (status == 0 && chosen.size() == 2) {
            const auto show = [&](std::size_t playlist) {
                app.changePlaylistWithRow(static_cast<std::int64_t>(playlist));
                app.showPlaylist();
            };
            const auto playing = [&] { return app.playbackStatus() == AppDelegate::PlaybackStatus::Playing; };
            // The first playlist stopped 5 s into a song, its player given up when another
            // played: its next play queues its songs anew and resumes there.
            show(chosen[0]);
            app.playMusic();
            runUntil([&] { return playing() && app.position() > 0.2; });
            app.seek(5);
            runUntil([&] { return app.position() > 5.2; });
            show(chosen[1]);
            app.playMusic();
            runUntil([&] { return playing() && app.position() > 0.2; });
            app.pauseMusic();
            show(chosen[0]);
            const auto stoppedAt = app.position();

            StallProbe probe;
            // Done once it plays on from where it stopped.
            measure(
                probe, "play starts, queues forty minutes and resumes", [&] { app.playMusic(); },
                [&] { return playing() && app.position() > stoppedAt + 0.3; });

            // Seeks one after another, each given time to land: within a song, near its end
            // (the next song is prepared by then) and back from there, right after a skip to
            // the next song, and paused.
            struct Step {
                bool play;
                double seconds;
                bool skipFirst = false;
            };
            const std::vector<Step> steps = {{true, 4},  {true, 9.4}, {true, 2},    {true, 6, true},
                                             {false, 3}, {false, 7},  {false, 1.5}, {true, 5}};
            std::size_t step = 0;
            Clock::time_point stepBegan;
            const auto nextStep = [&] {
                const auto& s = steps[step];
                if (s.play != playing()) s.play ? app.playMusic() : app.pauseMusic();
                if (s.skipFirst) app.forward();
                app.seek(s.seconds);
                stepBegan = Clock::now();
            };
            measure(probe, "seeks, playing and paused", nextStep, [&] {
                const auto& s = steps[step];
                // Landed: playing on from there, or, paused, shown there.
                const auto at = app.position();
                const bool landed = at >= s.seconds - 0.05 && at < s.seconds + (s.play ? 1.0 : 0.05) &&
                                    (!s.play || Clock::now() - stepBegan > 300ms);
                if (!landed && Clock::now() - stepBegan < 3s) return false;
                if (!landed) std::printf("  the seek to %.1f s stands at %.2f s\n", s.seconds, at);
                if (++step == steps.size()) return true;
                nextStep();
                return false;
            });

            if (!playing()) app.playMusic();
            const auto before = app.allPlaylists(); // held: new playlists are new objects
            // Another program writes the file: its writing is no stall of Platter's.
            std::thread writer;
            measure(
                probe, "changed library file is read again",
                [&] { writer = std::thread([&] { rewriteLibrary(library); }); },
                [&] { return !app.allPlaylists().empty() && app.allPlaylists().front() != before.front(); });
            writer.join();
        } else if (status == 0) {
            std::fprintf(stderr, "no two playlists to play\n");
            status = 1;
        }
    }
    fs::remove_all(profile);
    return status;
}
