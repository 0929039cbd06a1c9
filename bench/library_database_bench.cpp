// The library database with 50,000 songs: its open (with the check it makes, beside the full
// integrity check it does not), the main thread's time for a play, the flush at quit, and the
// read of every song's statistics at start, and what counting a play or a skip costs the main
// thread through the program's own Statistics. Prints the figures.

#include "core/app/statistics.h"
#include "library_generator.h"
#include "platform/db/sqlite_handle.h"
#include "platform/db/sqlite_library_database.h"
#include "tools/inspect/library_model.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

struct NoMainThread final : platter::TaskRunner {
    void runInBackground(std::function<void()> work, Lane) override { work(); }
    void runOnMainThread(std::function<void()>) override {}
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

std::string idOf(int i) {
    char id[17];
    std::snprintf(id, sizeof id, "%016X", 0x1000000 + i);
    return id;
}

double checkMilliseconds(const std::string& path, const char* pragma) {
    int code = 0;
    std::string error;
    auto db = platter::sqlite::Connection::open(path, SQLITE_OPEN_READONLY, code, error);
    const auto start = Clock::now();
    db.exec(pragma);
    return milliseconds(start);
}

// Plays and skips as playback reports them to Statistics, with the database behind it: the
// call that counts is timed.
void countingOnTheMainThread(platter::LibraryDatabase& db) {
    const auto inspection = platter::inspectLibrary({platter::bench::benchLibrary(50000), {}, false, {}, {}});
    const auto& songs = inspection.library->songs;
    const platter::AppEvents events;
    platter::Statistics statistics(&db, {}, events);
    statistics.readStored();
    std::vector<double> plays, skips;
    platter::Statistics::Item item = 0;
    for (std::size_t round = 0; round < 2000; ++round) {
        const auto& song = *songs[round * 13 % songs.size()];
        statistics.sounding(++item, song, 300, 0);
        auto start = Clock::now();
        statistics.checkpoint(160); // past half its length: a play
        plays.push_back(milliseconds(start) * 1000);
        statistics.ended(item, false);
        statistics.sounding(++item, song, 300, 0);
        start = Clock::now();
        statistics.skipped(item, 5);
        skips.push_back(milliseconds(start) * 1000);
    }
    std::printf("counting through Statistics, 2000 each, of %zu songs: a play median %.1f us, max %.1f us; a skip "
                "median %.1f us, max %.1f us (goal: at most 1 ms)\n",
                songs.size(), percentile(plays, 0.5), percentile(plays, 1.0), percentile(skips, 0.5),
                percentile(skips, 1.0));
}

} // namespace

int main() {
    using namespace platter;
    constexpr int songs = 50000;
    const auto folder = std::filesystem::temp_directory_path() / "platter-library-database-bench";
    std::filesystem::remove_all(folder);
    const auto path = (folder / "library.sqlite").string();
    NoMainThread tasks;
    {
        SqliteLibraryDatabase db(path, tasks);
        const auto start = Clock::now();
        int changes = 0;
        for (int i = 0; i < songs; ++i) {
            db.addPlay(idOf(i), 1700000000 + i);
            ++changes;
            if (i % 3 == 0) {
                db.setRating(idOf(i), i % 101);
                ++changes;
            }
            if (i % 5 == 0) {
                ++changes;
                db.upsertAddedSong({idOf(i), "/music/song " + std::to_string(i) + ".flac", 5000000, 0,
                                    R"({"title":"A Song","artist":"An Artist","album":"An Album"})"});
            }
        }
        db.flush();
        std::printf("filling %d songs (%d changes): %.0f ms\n", songs, changes, milliseconds(start));
    }
    std::printf("file: %.1f MB\n", static_cast<double>(std::filesystem::file_size(path)) / 1e6);
    std::printf("quick_check: %.1f ms, integrity_check: %.1f ms\n",
                checkMilliseconds(path, "PRAGMA quick_check"),
                checkMilliseconds(path, "PRAGMA integrity_check"));

    {
        const auto opening = Clock::now();
        SqliteLibraryDatabase db(path, tasks);
        std::printf("open (checked, no backup due): %.1f ms\n", milliseconds(opening));

        std::vector<double> plays;
        for (int round = 0; round < 2000; ++round) {
            const auto start = Clock::now();
            db.addPlay(idOf(round * 7 % songs), 1800000000 + round);
            plays.push_back(milliseconds(start) * 1000);
        }
        std::printf("addPlay on the calling thread, 2000 calls: median %.1f us, 99th percentile %.1f us, max "
                    "%.1f us\n",
                    percentile(plays, 0.5), percentile(plays, 0.99), percentile(plays, 1.0));
        const auto flushing = Clock::now();
        db.flush();
        std::printf("flush after them: %.1f ms\n", milliseconds(flushing));

        // One play at a time, as a listener makes them: each its own transaction, flushed to disk.
        std::vector<double> single;
        for (int round = 0; round < 20; ++round) {
            db.addPlay(idOf(round), 1900000000 + round);
            const auto start = Clock::now();
            db.flush();
            single.push_back(milliseconds(start));
        }
        std::printf("one play to disk, 20 times: median %.1f ms, max %.1f ms\n", percentile(single, 0.5),
                    percentile(single, 1.0));

        std::vector<double> reads;
        std::size_t count = 0;
        for (int round = 0; round < 5; ++round) {
            const auto start = Clock::now();
            count = db.readAll().size();
            reads.push_back(milliseconds(start));
        }
        std::printf("readAll of %zu songs: median %.1f ms of 5\n", count, percentile(reads, 0.5));
        countingOnTheMainThread(db);
    }
    // The first start of a day copies the database before it goes on.
    const auto copying = Clock::now();
    SqliteLibraryDatabase later(path, tasks, [] {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count() +
               2 * 24 * 3600;
    });
    std::printf("open with the daily backup: %.1f ms\n", milliseconds(copying));
    std::filesystem::remove_all(folder);
}
