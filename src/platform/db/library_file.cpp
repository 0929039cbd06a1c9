#include "platform/db/library_file.h"

#include "core/services/log.h"
#include "platform/db/library_schema.h"
#include "platform/files/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platter {

namespace {

constexpr std::int64_t backupInterval = 24 * 60 * 60;

enum class Verdict { Good, Damaged, Newer, Failed };

struct Checked {
    sqlite::Connection db;
    Verdict verdict = Verdict::Failed;
    std::string detail;
};

void note(const std::string& message) {
    log::write(log::Category::Library, message);
}

// What the file's own state is to blame for; anything else (a lock, the disk, memory) may pass
// and leaves the file alone.
bool isDamage(int code) {
    switch (code & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_FORMAT:
        return true;
    default:
        return false;
    }
}

bool exists(const std::string& path) {
    struct ::stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Every missing folder on the way for the user alone, as the base directory rules ask.
bool makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at != std::string::npos && at <= folder.size();) {
        at = folder.find('/', at + 1);
        const auto part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// SQLite creates files readable by everyone the umask allows; made here first, the database
// and the log and index SQLite makes beside it (which take its mode) are the user's alone.
bool createPrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

void syncFolderOf(const std::string& path) {
    const auto folder = path.substr(0, path.rfind('/'));
    const int fd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// quick_check rather than integrity_check: it reads every page and every record as the full
// check does and leaves out only the comparison of each index with its table, which a kill
// cannot upset (every change is a whole transaction) and whose cost grows faster than the
// library: at 50,000 songs 13 ms against 17 to 28 ms, on the window's thread at every start.
// `emptyIsDamage`: an empty file where a database was (a backup exists) lost its contents.
Checked check(const std::string& path, int flags, bool emptyIsDamage) {
    Checked checked;
    int code = SQLITE_OK;
    const auto failed = [&] {
        checked.verdict = isDamage(code) ? Verdict::Damaged : Verdict::Failed;
        if (checked.db) checked.detail = checked.db.errorText();
        return std::move(checked);
    };
    checked.db = sqlite::Connection::open(path, flags, code, checked.detail);
    if (!checked.db) return failed();
    // Another program looking into the file holds it up this long at most; a change it holds
    // up longer is tried again with the next.
    sqlite3_busy_timeout(checked.db.get(), 250);
    {
        sqlite::Statement quick(checked.db, "PRAGMA quick_check");
        code = quick ? quick.step() : quick.prepareCode();
        if (code != SQLITE_ROW) return failed();
        if (const auto verdict = quick.text(0); verdict != "ok") {
            checked.verdict = Verdict::Damaged;
            checked.detail = verdict;
            return checked;
        }
    }
    const auto application = checked.db.integer("PRAGMA application_id").value_or(-1);
    const auto version = checked.db.integer("PRAGMA user_version").value_or(-1);
    const auto objects = checked.db.integer("SELECT count(*) FROM sqlite_schema").value_or(-1);
    if (application != library_schema::applicationId && !(application == 0 && version == 0 && objects == 0)) {
        checked.verdict = Verdict::Damaged;
        checked.detail = "not Platter's database";
    } else if (version == 0 && emptyIsDamage) {
        checked.verdict = Verdict::Damaged;
        checked.detail = "empty";
    } else if (version > library_schema::currentVersion) {
        checked.verdict = Verdict::Newer;
        checked.detail = "version " + std::to_string(version);
    } else {
        checked.verdict = Verdict::Good;
    }
    return checked;
}

// WAL: a change appends to the log instead of copying pages to a journal and rewriting them,
// one flush per transaction instead of several, and a kill leaves whole transactions.
// synchronous=FULL: the log is on disk before a change is acknowledged, so a power cut keeps
// what the program said it kept (NORMAL would keep the file whole but could lose the last
// acknowledged changes); the cost, a flush per transaction, falls on the database's own thread
// and on changes that come a few a minute, gathered into one transaction when they come together.
std::string prepare(const sqlite::Connection& db) {
    sqlite::Statement journal(db, "PRAGMA journal_mode = WAL");
    if (!journal || journal.step() != SQLITE_ROW || journal.text(0) != "wal")
        return "cannot keep a log: " + db.errorText();
    journal = {};
    if (db.exec("PRAGMA synchronous = FULL") != SQLITE_OK) return db.errorText();
    const auto version = db.integer("PRAGMA user_version");
    if (!version) return db.errorText();
    return library_schema::migrate(db, static_cast<int>(*version));
}

// The database's log and rollback journal go with it (they hold its last changes); the index
// of the log is rebuilt from the log and goes.
std::string moveAsideWithItsLog(const std::string& path) {
    const auto moved = moveAside(path, "damaged");
    if (moved.empty()) return {};
    for (const char* companion : {"-wal", "-journal"})
        if (exists(path + companion)) ::rename((path + companion).c_str(), (moved + companion).c_str());
    ::unlink((path + "-shm").c_str());
    note("library database " + path + " moved aside to " + moved);
    return moved;
}

std::optional<std::int64_t> backupDateIn(const sqlite::Connection& db) {
    return db.integer("SELECT value FROM meta WHERE key = 'backup_at'");
}

int copyDatabase(const sqlite::Connection& from, const sqlite::Connection& to) {
    auto* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) return sqlite3_errcode(to.get());
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    return stepped == SQLITE_DONE ? finished : stepped;
}

// The backup in place of the missing or moved database: its date, or nullopt when there is no
// good backup. One that cannot be used is moved aside too: the next daily copy, of the empty
// database that follows, must not replace what may be the only copy of the user's counts.
std::optional<std::int64_t> restore(const std::string& path, sqlite::Connection& restored) {
    const auto backup = backupPathOf(path);
    if (!exists(backup)) return std::nullopt;
    auto copy = check(backup, SQLITE_OPEN_READONLY, true);
    if (copy.verdict != Verdict::Good) {
        note("library backup " + backup + " unusable: " + copy.detail);
        copy.db.close();
        moveAside(backup, copy.verdict == Verdict::Damaged ? "damaged"
                          : copy.verdict == Verdict::Newer ? "newer"
                                                           : "unread");
        return std::nullopt;
    }
    int code = SQLITE_OK;
    std::string error;
    if (!createPrivateFile(path) ||
        !(restored = sqlite::Connection::open(path, SQLITE_OPEN_READWRITE, code, error)) ||
        copyDatabase(copy.db, restored) != SQLITE_OK || !prepare(restored).empty()) {
        note("library backup " + backup + " not restored: " + restored.errorText());
        restored.close();
        ::unlink(path.c_str());
        moveAside(backup, "unread");
        return std::nullopt;
    }
    note("library database restored from " + backup);
    return backupDateIn(restored).value_or(0);
}

sqlite::Connection createEmpty(const std::string& path, std::string& error) {
    int code = SQLITE_OK;
    if (!createPrivateFile(path) && errno != EEXIST) {
        error = path + ": " + std::strerror(errno);
        return {};
    }
    auto db = sqlite::Connection::open(path, SQLITE_OPEN_READWRITE, code, error);
    if (db) error = prepare(db);
    if (!error.empty()) db.close();
    return db;
}

} // namespace

std::string backupPathOf(const std::string& path) {
    return path + ".backup";
}

// Copied through a temporary file renamed over the last backup, so that a kill during the copy
// leaves the last backup whole. The copy's own log is folded in: it is one file.
void backUpIfDue(const sqlite::Connection& db, const std::string& path, std::int64_t now) {
    const auto backup = backupPathOf(path);
    const auto last = backupDateIn(db);
    if (last && *last <= now && now - *last < backupInterval && exists(backup)) return;
    const auto stamp = [&](std::optional<std::int64_t> date) {
        sqlite::Statement write(db, date ? "INSERT OR REPLACE INTO meta VALUES ('backup_at', ?1)"
                                         : "DELETE FROM meta WHERE key = 'backup_at'");
        if (date) write.bind(1, *date);
        return write && write.run() == SQLITE_OK;
    };
    // The copy carries its own date: stamped before it is taken, and taken back if it fails.
    if (!stamp(now)) return;
    std::string temporary = backup + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    bool copied = false;
    if (fd >= 0) {
        ::close(fd);
        int code = SQLITE_OK;
        std::string error;
        auto copy = sqlite::Connection::open(temporary, SQLITE_OPEN_READWRITE, code, error);
        copied = copy && copyDatabase(db, copy) == SQLITE_OK &&
                 copy.exec("PRAGMA journal_mode = DELETE") == SQLITE_OK;
        copy.close();
        copied = copied && ::rename(temporary.c_str(), backup.c_str()) == 0;
    }
    if (copied) {
        syncFolderOf(backup);
        return;
    }
    note("library backup " + backup + " not made");
    if (fd >= 0) ::unlink(temporary.c_str());
    stamp(last);
}

OpenedLibraryFile openLibraryFile(const std::string& path) {
    OpenedLibraryFile opened;
    const auto unavailable = [&](DatabaseUnavailable::Reason reason, std::string detail) {
        note("library database " + path + " unavailable: " + detail);
        opened.db.close();
        opened.report = DatabaseUnavailable{reason, std::move(detail)};
        return std::move(opened);
    };
    if (!makeFolders(path.substr(0, path.rfind('/'))))
        return unavailable(DatabaseUnavailable::Reason::CannotOpen, path + ": " + std::strerror(errno));
    removeStaleTemporaries(backupPathOf(path));

    std::string movedAside;
    if (exists(path)) {
        auto checked = check(path, SQLITE_OPEN_READWRITE, exists(backupPathOf(path)));
        if (checked.verdict == Verdict::Good) {
            if (auto problem = prepare(checked.db); !problem.empty())
                return unavailable(DatabaseUnavailable::Reason::CannotOpen, problem);
            opened.db = std::move(checked.db);
            return opened;
        }
        if (checked.verdict == Verdict::Newer)
            return unavailable(DatabaseUnavailable::Reason::NewerVersion, checked.detail);
        if (checked.verdict == Verdict::Failed)
            return unavailable(DatabaseUnavailable::Reason::CannotOpen, checked.detail);
        note("library database " + path + " damaged: " + checked.detail);
        checked.db.close();
        movedAside = moveAsideWithItsLog(path);
        if (movedAside.empty())
            return unavailable(DatabaseUnavailable::Reason::CannotOpen,
                               path + ": damaged and cannot be moved aside: " + std::strerror(errno));
    }
    if (const auto date = restore(path, opened.db)) {
        opened.report = DatabaseRestoredFromBackup{*date, movedAside};
    } else {
        std::string error;
        opened.db = createEmpty(path, error);
        if (!opened.db) return unavailable(DatabaseUnavailable::Reason::CannotOpen, error);
        if (!movedAside.empty()) opened.report = DatabaseStartedAfresh{movedAside};
    }
    return opened;
}

} // namespace platter
