#include "platform/db/library_snapshot.h"

#include "platform/db/library_schema.h"

#include <sqlite3.h>

namespace platter {

std::unordered_map<std::string, SongStats> readSongStats(const sqlite::Connection& db) {
    std::unordered_map<std::string, SongStats> all;
    sqlite::Statement q(db, "SELECT persistent_id, plays, last_played, skips, last_skipped, rating,"
                            " album_rating, loved FROM song_stats");
    all.reserve(static_cast<std::size_t>(db.integer("SELECT count(*) FROM song_stats").value_or(0)));
    const auto small = [&](int column) -> std::optional<int> {
        if (const auto v = q.optionalInteger(column)) return static_cast<int>(*v);
        return std::nullopt;
    };
    while (q && q.step() == SQLITE_ROW)
        all.emplace(q.text(0), SongStats{q.integer(1), q.optionalInteger(2), q.integer(3), q.optionalInteger(4),
                                         small(5), small(6), q.integer(7) != 0});
    return all;
}

std::vector<AddedSong> readAddedSongs(const sqlite::Connection& db) {
    std::vector<AddedSong> songs;
    sqlite::Statement q(db, "SELECT persistent_id, path, size, modified_ns, tags FROM added_songs");
    while (q && q.step() == SQLITE_ROW)
        songs.push_back({q.text(0), q.text(1), q.integer(2), q.integer(3), q.text(4)});
    return songs;
}

std::optional<LibrarySnapshot> readLibrarySnapshot(const std::string& path, std::string& error) {
    int code = 0;
    auto db = sqlite::Connection::open(path, SQLITE_OPEN_READONLY, code, error);
    if (!db) return std::nullopt;
    // Platter may be writing: wait a little for it rather than fail.
    sqlite3_busy_timeout(db.get(), 2000);
    const auto application = db.integer("PRAGMA application_id");
    const auto version = db.integer("PRAGMA user_version");
    if (!application || !version) {
        error = db.errorText();
        return std::nullopt;
    }
    if (*application != library_schema::applicationId || *version < 1) {
        error = "not Platter's library database";
        return std::nullopt;
    }
    if (*version > library_schema::currentVersion) {
        error = "made by a newer version of Platter (version " + std::to_string(*version) + ")";
        return std::nullopt;
    }
    // One transaction: the statistics and the added songs of the same moment.
    db.exec("BEGIN");
    LibrarySnapshot snapshot{readSongStats(db), readAddedSongs(db)};
    db.exec("COMMIT");
    return snapshot;
}

} // namespace platter
