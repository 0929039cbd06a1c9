// Library build time and peak memory at several sizes, beside a baseline in the same run: a
// plain libxml2 SAX2 pass over the same file that only collects Name, Album, Total Time and
// Persistent ID. Each measurement runs in a child process of its own so its peak memory is
// its own.

#include "library_generator.h"
#include "tools/inspect/library_model.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <libxml/parser.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Figures {
    double seconds = 0;
    double peakMB = 0;
};

// Runs `work` in a child; the child's own timing of it and its peak resident memory. The
// child times itself so that giving its memory back at exit is not counted.
Figures measure(const std::function<bool()>& work) {
    // Let the kernel finish reclaiming the previous child's memory first.
    usleep(300000);
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = work();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (write(fds[1], &seconds, sizeof seconds) != static_cast<ssize_t>(sizeof seconds)) _exit(2);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    double seconds = 0;
    if (read(fds[0], &seconds, sizeof seconds) != static_cast<ssize_t>(sizeof seconds)) seconds = 0;
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "measured run failed\n");
    return {seconds, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// The best of several runs of each, taken in turns so that a slow spell of the machine does
// not fall on one side only.
std::pair<Figures, Figures> bestOfBoth(int runs, const std::function<bool()>& a,
                                       const std::function<bool()>& b) {
    std::pair<Figures, Figures> out{{1e9, 0}, {1e9, 0}};
    for (int i = 0; i < runs; ++i) {
        for (auto [work, best] : {std::pair{&a, &out.first}, std::pair{&b, &out.second}}) {
            const auto f = measure(*work);
            if (f.seconds < best->seconds) *best = f;
        }
    }
    return out;
}

// The baseline: what any reader of the file must at least do.
struct Baseline {
    enum Field { None, Name, Album, TotalTime, PersistentID } want = None, inValue = None;
    bool inKey = false;
    std::string text;
    std::vector<std::string> names, albums, ids;
    std::vector<long long> times;
};

bool saxBaseline(const std::string& path) {
    xmlSAXHandler h{};
    h.initialized = XML_SAX2_MAGIC;
    h.startElementNs = [](void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                          const xmlChar**, int, int, const xmlChar**) {
        auto& b = *static_cast<Baseline*>(ctx);
        b.text.clear();
        b.inKey = std::strcmp(reinterpret_cast<const char*>(name), "key") == 0;
        b.inValue = b.inKey ? Baseline::None : b.want;
    };
    h.characters = [](void* ctx, const xmlChar* ch, int len) {
        auto& b = *static_cast<Baseline*>(ctx);
        if (b.inKey || b.inValue != Baseline::None)
            b.text.append(reinterpret_cast<const char*>(ch), std::size_t(len));
    };
    h.endElementNs = [](void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
        auto& b = *static_cast<Baseline*>(ctx);
        if (b.inKey) {
            b.want = b.text == "Name"            ? Baseline::Name
                     : b.text == "Album"         ? Baseline::Album
                     : b.text == "Total Time"    ? Baseline::TotalTime
                     : b.text == "Persistent ID" ? Baseline::PersistentID
                                                 : Baseline::None;
            b.inKey = false;
            return;
        }
        switch (b.inValue) {
        case Baseline::Name:
            b.names.push_back(b.text);
            break;
        case Baseline::Album:
            b.albums.push_back(b.text);
            break;
        case Baseline::TotalTime:
            b.times.push_back(std::atoll(b.text.c_str()));
            break;
        case Baseline::PersistentID:
            b.ids.push_back(b.text);
            break;
        case Baseline::None:
            break;
        }
        b.inValue = Baseline::None;
        b.want = Baseline::None;
    };
    Baseline state;
    return xmlSAXUserParseFile(&h, &state, path.c_str()) == 0 && !state.ids.empty();
}

bool fullBuild(const std::string& path) {
    // The child ends right after: tearing the model down is no part of building it.
    auto* inspection = new platter::Inspection(platter::inspectLibrary({path, {}, false, {}}));
    return inspection->library && !inspection->library->songs.empty();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty()) sizes = {10000, 50000, 200000};
    const std::filesystem::path dataDir = std::filesystem::current_path() / "build" / "bench-data";
    std::filesystem::create_directories(dataDir);

    std::printf("%8s %9s | %9s %9s | %9s %9s | %10s %12s\n", "tracks", "file MB", "SAX s", "SAX MB",
                "build s", "build MB", "time/SAX", "memory/file");
    for (const auto n : sizes) {
        const auto path = (dataDir / ("library-" + std::to_string(n) + ".xml")).string();
        if (!std::filesystem::exists(path)) {
            std::fprintf(stderr, "generating %s\n", path.c_str());
            measure([&] {
                platter::bench::generateLibrary(path, n);
                return true;
            });
        }
        const double fileMB = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
        const auto [sax, build] = bestOfBoth(
            3, [&] { return saxBaseline(path); }, [&] { return fullBuild(path); });
        std::printf("%8zu %9.1f | %9.3f %9.1f | %9.3f %9.1f | %9.2fx %11.2fx\n", n, fileMB, sax.seconds,
                    sax.peakMB, build.seconds, build.peakMB, build.seconds / sax.seconds,
                    build.peakMB / fileMB);
        std::fflush(stdout);
    }
    std::printf("goals: 200k build within 1.3x the SAX time and at most 0.9x the file size in memory; "
                "10k under 0.25 s\n");
    return 0;
}
