#include "platform/db/library_schema.h"

#include <array>
#include <sqlite3.h>

namespace platter::library_schema {

namespace {

// Statistics and added songs are keyed by the persistent ID, which is short text: without a
// rowid, the key is the table's own order. A listen's ID is never reused, even after the
// newest were removed: AUTOINCREMENT keeps the highest ever given. A song's statistics stay when it is
// removed from the added songs, so the two tables do not refer to each other.
constexpr const char* version1 = R"sql(
CREATE TABLE song_stats (
    persistent_id TEXT PRIMARY KEY NOT NULL,
    plays INTEGER NOT NULL DEFAULT 0,
    last_played INTEGER,
    skips INTEGER NOT NULL DEFAULT 0,
    last_skipped INTEGER,
    rating INTEGER CHECK (rating BETWEEN 0 AND 100),
    album_rating INTEGER CHECK (album_rating BETWEEN 0 AND 100),
    loved INTEGER NOT NULL DEFAULT 0
) WITHOUT ROWID;
CREATE TABLE added_songs (
    persistent_id TEXT PRIMARY KEY NOT NULL,
    path TEXT NOT NULL UNIQUE,
    size INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    tags TEXT NOT NULL
) WITHOUT ROWID;
CREATE TABLE listens (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    service TEXT NOT NULL,
    payload TEXT NOT NULL
);
CREATE INDEX listens_by_service ON listens (service, id);
CREATE TABLE meta (
    key TEXT PRIMARY KEY NOT NULL,
    value
) WITHOUT ROWID;
)sql";

int toVersion1(const sqlite::Connection& db) {
    return db.exec(version1);
}

// Each step brings the database from its index to the next version, inside the transaction
// migrate() opens. The next layout is one more function here and a larger currentVersion.
using Step = int (*)(const sqlite::Connection&);
constexpr std::array<Step, currentVersion> steps{toVersion1};

} // namespace

std::string migrate(const sqlite::Connection& db, int from) {
    for (int version = from; version < currentVersion; ++version) {
        const std::string mark = "PRAGMA application_id = " + std::to_string(applicationId) +
                                 "; PRAGMA user_version = " + std::to_string(version + 1);
        if (db.exec("BEGIN IMMEDIATE") != SQLITE_OK ||
            steps[static_cast<std::size_t>(version)](db) != SQLITE_OK || db.exec(mark.c_str()) != SQLITE_OK ||
            db.exec("COMMIT") != SQLITE_OK) {
            auto why = "migration to version " + std::to_string(version + 1) + ": " + db.errorText();
            db.exec("ROLLBACK");
            return why;
        }
    }
    return {};
}

} // namespace platter::library_schema
