// The shuffle of the all-songs playlist of a large library: the units rebuilt (after a settings
// change) and reused (a plain reshuffle), with every album whole and with every album split
// into songs, the case with the most units; and the same with Rediscover, which weighs each
// unit by when its songs last played, as the library file says.

#include "core/model/song_stats.h"
#include "core/services/seeded_random.h"
#include "core/shuffle/shuffle.h"
#include "library_generator.h"
#include "tools/inspect/library_model.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

namespace {

platter::Library& library() {
    static const auto inspection = [] {
        const auto path = platter::bench::benchLibrary(200000);
        return std::make_unique<platter::Inspection>(platter::inspectLibrary({path, {}, false, {}}));
    }();
    return *inspection->library;
}

// Rediscover reads only the last play; `fullStats` reads every statistic, as it once did.
void shuffle(benchmark::State& state, bool splitIntoSongs, bool rebuild, bool rediscover = false,
             bool fullStats = false) {
    auto& model = library();
    for (const auto& album : model.albums) {
        album->setting() = {};
        if (splitIntoSongs) album->setting() = platter::AlbumSetting::songs();
    }
    auto& all = *model.playlists[0];
    platter::SeededRandom random(7);
    const platter::PlayHistory history{[fullStats](const platter::MySong& song) {
                                           return fullStats ? platter::fileStatsOf(song).stats.lastPlayed
                                                            : platter::fileLastPlayedOf(song);
                                       },
                                       1'800'000'000};
    const auto* weighed = rediscover ? &history : nullptr;
    std::int64_t version = 1;
    shuffleWithSettingVersion(all, version, random);
    for (auto _ : state) {
        if (rebuild) ++version;
        shuffleWithSettingVersion(all, version, random, weighed);
        benchmark::DoNotOptimize(all.shuffledSongs.data());
    }
    state.counters["songs"] = static_cast<double>(all.shuffledSongs.size());
    state.counters["units"] = static_cast<double>(all.units.size());
}

BENCHMARK_CAPTURE(shuffle, wholeAlbums_rebuild, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, wholeAlbums_reuse, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, everySong_rebuild, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, everySong_reuse, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, wholeAlbums_rediscover, false, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, everySong_rediscover, true, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(shuffle, everySong_rediscover_fullStats, true, false, true, true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
