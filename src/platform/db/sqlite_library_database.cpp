#include "platform/db/sqlite_library_database.h"

#include "core/services/log.h"
#include "platform/db/library_file.h"
#include "platform/db/library_snapshot.h"
#include "platform/system/system_environment.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <sqlite3.h>
#include <unordered_map>

namespace platter {

class SqliteLibraryDatabase::Session {
public:
    explicit Session(sqlite::Connection db) : db_(std::move(db)) {}
    const sqlite::Connection& db() const { return db_; }
    bool available() const { return static_cast<bool>(db_); }

    // Prepared once for the life of the database: each change is one of a few statements.
    sqlite::Statement& statement(const char* sql) {
        auto [at, added] = statements_.try_emplace(sql);
        if (added) at->second = sqlite::Statement(db_, sql, true);
        return at->second;
    }
    // Runs a statement whose text is bound by `bind`; SQLite's result code.
    template <class Bind> int run(const char* sql, Bind bind) {
        auto& query = statement(sql);
        if (!query) return query.prepareCode();
        bind(query);
        return query.run();
    }

private:
    sqlite::Connection db_;
    std::unordered_map<const char*, sqlite::Statement> statements_; // by the text's address
};

namespace {

using Session = SqliteLibraryDatabase::Session;

std::int64_t systemNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Refusals that trying again cannot mend: the change itself is at fault.
bool isFinal(int code) {
    switch (code & 0xff) {
    case SQLITE_CONSTRAINT:
    case SQLITE_TOOBIG:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
    case SQLITE_ERROR:
        return true;
    default:
        return false;
    }
}

std::optional<std::int64_t> rating(std::optional<int> value) {
    if (!value) return std::nullopt;
    return std::clamp(*value, 0, 100);
}

std::string unavailableText(const DatabaseOpenReport& report) {
    const auto* why = std::get_if<DatabaseUnavailable>(&report);
    return "the library database is unavailable" + (why ? ": " + why->detail : std::string());
}

} // namespace

SqliteLibraryDatabase::SqliteLibraryDatabase(const std::string& path, TaskRunner& tasks,
                                             std::function<std::int64_t()> now)
    : tasks_(tasks) {
    auto opened = openLibraryFile(path);
    report_ = std::move(opened.report);
    session_ = std::make_unique<Session>(std::move(opened.db));
    if (session_->available()) {
        // The highest ID ever given, even if its listen was sent and removed since.
        const auto last = session_->db().integer(
            "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'listens'), 0),"
            " coalesce((SELECT max(id) FROM listens), 0))");
        nextListen_ = last.value_or(0) + 1;
        // The daily copy is the worker's first job: the start does not wait for it.
        read([path, at = now ? now() : systemNow()](Session& s) {
            backUpIfDue(s.db(), path, at);
            return SQLITE_OK;
        });
    }
    worker_ = std::thread([this] { run(); });
}

SqliteLibraryDatabase::~SqliteLibraryDatabase() {
    flush();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

std::string SqliteLibraryDatabase::defaultPath() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return std::string(xdg) + "/platter/library.sqlite";
    return SystemEnvironment().homeDirectory() + "/.local/share/platter/library.sqlite";
}

void SqliteLibraryDatabase::enqueue(Job job) {
    {
        const std::lock_guard lock(mutex_);
        urgent_ = urgent_ || job.kind != Job::Kind::Change;
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void SqliteLibraryDatabase::beginTogether() {
    const std::lock_guard lock(mutex_);
    ++together_;
}

void SqliteLibraryDatabase::endTogether() {
    {
        const std::lock_guard lock(mutex_);
        --together_;
    }
    wake_.notify_one();
}

void SqliteLibraryDatabase::change(std::function<int(Session&)> work, Done done) {
    enqueue({Job::Kind::Change, std::move(work), std::move(done)});
}

void SqliteLibraryDatabase::read(std::function<int(Session&)> work) {
    enqueue({Job::Kind::Read, std::move(work), {}});
}

template <class Result> Result SqliteLibraryDatabase::readAndWait(std::function<Result(Session&)> work) {
    std::promise<Result> result;
    read([&](Session& session) {
        result.set_value(session.available() ? work(session) : Result{});
        return SQLITE_OK;
    });
    return result.get_future().get();
}

void SqliteLibraryDatabase::acknowledge(const Done& done, std::string error) {
    if (done) tasks_.runOnMainThread([done, error = std::move(error)] { done(error); });
}

std::string SqliteLibraryDatabase::flush() {
    std::promise<std::string> result;
    enqueue({Job::Kind::Flush, {}, [&](const std::string& problem) { result.set_value(problem); }});
    return result.get_future().get();
}

void SqliteLibraryDatabase::run() {
    for (;;) {
        std::deque<Job> jobs;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || (!jobs_.empty() && (together_ == 0 || urgent_)); });
            if (jobs_.empty()) return;
            jobs.swap(jobs_);
            urgent_ = false;
            // Changes of a group still open that came after the read or flush wait for the group.
            if (together_ > 0 && !stopping_) {
                auto waits = jobs.end();
                while (waits != jobs.begin() && std::prev(waits)->kind == Job::Kind::Change)
                    --waits;
                jobs_.insert(jobs_.end(), std::make_move_iterator(waits), std::make_move_iterator(jobs.end()));
                jobs.erase(waits, jobs.end());
            }
        }
        // Changes that came together share a transaction; a read or a flush comes after the
        // changes before it are committed.
        std::deque<Job> changes;
        for (auto& job : jobs) {
            if (job.kind == Job::Kind::Change) {
                changes.push_back(std::move(job));
                continue;
            }
            commit(changes);
            changes.clear();
            if (job.kind == Job::Kind::Read) {
                job.work(*session_);
            } else {
                job.done(session_->available() ? problem_ : unavailableText(report_));
            }
        }
        commit(changes);
    }
}

void SqliteLibraryDatabase::commit(std::deque<Job>& changes) {
    if (!session_->available()) {
        for (const auto& job : changes)
            acknowledge(job.done, unavailableText(report_));
        return;
    }
    if (changes.empty() && retry_.empty()) return;
    for (auto& job : changes)
        retry_.push_back(std::move(job));
    changes.clear();
    std::deque<Job> batch;
    batch.swap(retry_);

    // Each change under a savepoint of its own: one refused for what it is leaves the others
    // in. One the disk refused holds the whole batch back, so that changes keep their order.
    const auto& db = session_->db();
    std::vector<int> codes(batch.size(), SQLITE_OK);
    std::vector<std::string> whys(batch.size());
    int code = db.exec("BEGIN IMMEDIATE");
    std::string why = code == SQLITE_OK ? std::string() : db.errorText();
    for (std::size_t i = 0; code == SQLITE_OK && i < batch.size(); ++i) {
        db.exec("SAVEPOINT change");
        codes[i] = batch[i].work(*session_);
        if (codes[i] != SQLITE_OK) {
            whys[i] = db.errorText();
            db.exec("ROLLBACK TO change");
            if (!isFinal(codes[i])) {
                code = codes[i];
                why = whys[i];
            }
        }
        db.exec("RELEASE change");
    }
    if (code == SQLITE_OK && (code = db.exec("COMMIT")) != SQLITE_OK) why = db.errorText();
    if (code != SQLITE_OK) {
        db.exec("ROLLBACK");
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (isFinal(codes[i])) continue;
            codes[i] = code;
            whys[i] = why;
        }
    }
    problem_.clear();
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (codes[i] == SQLITE_OK) {
            acknowledge(batch[i].done, {});
        } else if (isFinal(codes[i])) {
            log::write(log::Category::Library, "library change refused: " + whys[i]);
            acknowledge(batch[i].done, whys[i]);
        } else {
            problem_ = whys[i];
            retry_.push_back(std::move(batch[i]));
        }
    }
    if (!retry_.empty()) log::write(log::Category::Library, "library changes kept to try again: " + problem_);
}

void SqliteLibraryDatabase::addPlay(const std::string& id, std::int64_t when, Done done) {
    change(
        [id, when](Session& s) {
            return s.run("INSERT INTO song_stats (persistent_id, plays, last_played) VALUES (?1, 1, ?2)"
                         " ON CONFLICT (persistent_id) DO UPDATE SET plays = plays + 1, last_played = ?2",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, when); });
        },
        std::move(done));
}

void SqliteLibraryDatabase::addSkip(const std::string& id, std::int64_t when, Done done) {
    change(
        [id, when](Session& s) {
            return s.run("INSERT INTO song_stats (persistent_id, skips, last_skipped) VALUES (?1, 1, ?2)"
                         " ON CONFLICT (persistent_id) DO UPDATE SET skips = skips + 1, last_skipped = ?2",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, when); });
        },
        std::move(done));
}

void SqliteLibraryDatabase::setRating(const std::string& id, std::optional<int> value, Done done) {
    change(
        [id, value = rating(value)](Session& s) {
            return s.run("INSERT INTO song_stats (persistent_id, rating) VALUES (?1, ?2)"
                         " ON CONFLICT (persistent_id) DO UPDATE SET rating = ?2",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, value); });
        },
        std::move(done));
}

void SqliteLibraryDatabase::setAlbumRating(const std::string& id, std::optional<int> value, Done done) {
    change(
        [id, value = rating(value)](Session& s) {
            return s.run("INSERT INTO song_stats (persistent_id, album_rating) VALUES (?1, ?2)"
                         " ON CONFLICT (persistent_id) DO UPDATE SET album_rating = ?2",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, value); });
        },
        std::move(done));
}

void SqliteLibraryDatabase::setLoved(const std::string& id, bool loved, Done done) {
    change(
        [id, loved](Session& s) {
            return s.run("INSERT INTO song_stats (persistent_id, loved) VALUES (?1, ?2)"
                         " ON CONFLICT (persistent_id) DO UPDATE SET loved = ?2",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, std::int64_t{loved}); });
        },
        std::move(done));
}

std::unordered_map<std::string, SongStats> SqliteLibraryDatabase::readAll() {
    return readAndWait<std::unordered_map<std::string, SongStats>>([](Session& s) { return readSongStats(s.db()); });
}

void SqliteLibraryDatabase::upsertAddedSong(const AddedSong& song, Done done) {
    change(
        [song](Session& s) {
            // REPLACE also removes another song recorded at the same path.
            return s.run("INSERT OR REPLACE INTO added_songs (persistent_id, path, size, modified_ns, tags)"
                         " VALUES (?1, ?2, ?3, ?4, ?5)",
                         [&](sqlite::Statement& q) {
                             q.bind(1, song.persistentID).bind(2, song.path).bind(3, song.size);
                             q.bind(4, song.modifiedNs).bind(5, song.tags);
                         });
        },
        std::move(done));
}

void SqliteLibraryDatabase::removeAddedSong(const std::string& id, Done done) {
    change(
        [id](Session& s) {
            return s.run("DELETE FROM added_songs WHERE persistent_id = ?1",
                         [&](sqlite::Statement& q) { q.bind(1, id); });
        },
        std::move(done));
}

std::vector<AddedSong> SqliteLibraryDatabase::readAddedSongs() {
    return readAndWait<std::vector<AddedSong>>([](Session& s) { return platter::readAddedSongs(s.db()); });
}

LibraryDatabase::ListenId SqliteLibraryDatabase::enqueueListen(const std::string& service,
                                                               const std::string& payload, Done done) {
    const ListenId id = nextListen_++;
    change(
        [id, service, payload](Session& s) {
            return s.run("INSERT INTO listens (id, service, payload) VALUES (?1, ?2, ?3)",
                         [&](sqlite::Statement& q) { q.bind(1, id).bind(2, service).bind(3, payload); });
        },
        std::move(done));
    return id;
}

void SqliteLibraryDatabase::pendingListens(const std::string& service, std::size_t limit,
                                           std::function<void(std::vector<Listen>)> then) {
    read([this, service, limit, then = std::move(then)](Session& s) {
        std::vector<Listen> listens;
        if (s.available()) {
            auto& q = s.statement("SELECT id, payload FROM listens WHERE service = ?1 ORDER BY id LIMIT ?2");
            q.bind(1, service).bind(2, static_cast<std::int64_t>(std::min<std::size_t>(limit, INT64_MAX)));
            while (q && q.step() == SQLITE_ROW)
                listens.push_back({q.integer(0), q.text(1)});
            q.reset();
        }
        tasks_.runOnMainThread([then, listens = std::move(listens)]() mutable { then(std::move(listens)); });
        return SQLITE_OK;
    });
}

void SqliteLibraryDatabase::removeListens(const std::vector<ListenId>& ids, Done done) {
    change(
        [ids](Session& s) {
            for (const auto id : ids) {
                const int code =
                    s.run("DELETE FROM listens WHERE id = ?1", [&](sqlite::Statement& q) { q.bind(1, id); });
                if (code != SQLITE_OK) return code;
            }
            return SQLITE_OK;
        },
        std::move(done));
}

// Kept in the meta table: a key per service needs no change of layout.
void SqliteLibraryDatabase::setLastAccepted(const std::string& service, std::int64_t when, Done done) {
    change(
        [key = "last_accepted:" + service, when](Session& s) {
            return s.run("INSERT OR REPLACE INTO meta (key, value) VALUES (?1, ?2)",
                         [&](sqlite::Statement& q) { q.bind(1, key).bind(2, when); });
        },
        std::move(done));
}

void SqliteLibraryDatabase::queueState(const std::string& service, std::function<void(ListenQueueState)> then) {
    read([this, service, then = std::move(then)](Session& s) {
        ListenQueueState state;
        if (s.available()) {
            auto& q = s.statement("SELECT (SELECT count(*) FROM listens WHERE service = ?1),"
                                  " (SELECT value FROM meta WHERE key = 'last_accepted:' || ?1)");
            q.bind(1, service);
            if (q && q.step() == SQLITE_ROW) state = {static_cast<std::size_t>(q.integer(0)), q.optionalInteger(1)};
            q.reset();
        }
        tasks_.runOnMainThread([then, state] { then(state); });
        return SQLITE_OK;
    });
}

} // namespace platter
