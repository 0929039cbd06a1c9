#pragma once

// The living library kept beside the read-only library file: what happens on this computer.
//
// Records:
//   Songs are keyed by their persistent ID (text, as the library file spells it). A song's
//   statistics are the ones counted here: plays and the last play, skips and the last skip,
//   its rating and its album's rating (0 to 100, as the library file keeps them, or none) and
//   whether it is loved. A song nobody played, rated or loved has no record.
//   Songs added on this computer carry their file (path, size, modification time), the
//   persistent ID given to them here and their tags as a JSON object in text. Removing an
//   added song keeps its statistics. A path holds one song: adding another song at a path
//   replaces the one there.
//   Listens wait in a queue per service (a scrobbling site) until they are sent and removed;
//   their payload is the service's own text, kept as given. Their IDs rise in the order they
//   were enqueued and are never reused. When each service last accepted a listen is kept too.
// Writes:
//   Every change is taken at once and written on a thread of the database's own, in the order
//   taken, each change whole or not at all. A change is on disk when its `done` hears an
//   empty error (on the main thread) or when a later flush() returns empty: a kill after that
//   point never loses it. A change refused for what it is, or by a database that is
//   unavailable, hears why. A change the file could not take (the disk is full, another
//   program holds the file) waits, with the changes after it, and is tried again with the
//   next change and at flush(): its `done` hears nothing until it is on disk.
// Reads:
//   Every read sees every change taken before it. readAll() and readAddedSongs() wait for the
//   database and are meant for the start, where the window is not up yet; the listens are
//   read in the background and handed to the main thread.
// Opening:
//   The database is opened, checked and brought to the current layout when it is made; its
//   report says what that took. After a good open, a copy is made when the last is a day old.
//   A damaged database is never deleted: it is moved aside and the last copy takes its place
//   (a missing database is replaced by it too), or, with no usable copy, an empty database
//   does; a copy that cannot be used is moved aside as well. A database that cannot be used
//   at all (the folder cannot be written, the file is from a newer version of the program) is
//   left as it is: reads are empty and every change is refused.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platter {

struct SongStats {
    std::int64_t plays = 0;
    std::optional<std::int64_t> lastPlayed; // UTC seconds since 1970
    std::int64_t skips = 0;
    std::optional<std::int64_t> lastSkipped; // UTC seconds since 1970
    std::optional<int> rating;               // 0 to 100
    std::optional<int> albumRating;          // 0 to 100
    bool loved = false;
    friend bool operator==(const SongStats&, const SongStats&) = default;
};

struct AddedSong {
    std::string persistentID;
    std::string path;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // the file's modification time, in nanoseconds since 1970
    std::string tags;            // a JSON object
    friend bool operator==(const AddedSong&, const AddedSong&) = default;
};

struct Listen {
    std::int64_t id = 0;
    std::string payload;
    friend bool operator==(const Listen&, const Listen&) = default;
};

struct ListenQueueState {
    std::size_t waiting = 0;
    std::optional<std::int64_t> lastAccepted; // UTC seconds since 1970
    friend bool operator==(const ListenQueueState&, const ListenQueueState&) = default;
};

// What opening the database took. The window words it.
struct DatabaseOpened {};
struct DatabaseRestoredFromBackup {
    std::int64_t backupDate = 0; // UTC seconds when the copy was made
    std::string movedAsidePath;  // where the damaged file went; empty when it was missing
};
struct DatabaseStartedAfresh {
    std::string movedAsidePath; // where the damaged file went
};
struct DatabaseUnavailable {
    enum class Reason { CannotOpen, NewerVersion };
    Reason reason = Reason::CannotOpen;
    std::string detail; // the system's or the database's words, for a bug report
};
using DatabaseOpenReport =
    std::variant<DatabaseOpened, DatabaseRestoredFromBackup, DatabaseStartedAfresh, DatabaseUnavailable>;

class LibraryDatabase {
public:
    using ListenId = std::int64_t;
    // Runs on the main thread: empty once the change is on disk, else why it is not.
    using Done = std::function<void(const std::string& error)>;

    virtual ~LibraryDatabase() = default;

    virtual const DatabaseOpenReport& openReport() const = 0;

    // `when`: UTC seconds since 1970. Ratings outside 0 to 100 are brought inside.
    virtual void addPlay(const std::string& id, std::int64_t when, Done done = {}) = 0;
    virtual void addSkip(const std::string& id, std::int64_t when, Done done = {}) = 0;
    virtual void setRating(const std::string& id, std::optional<int> rating, Done done = {}) = 0;
    virtual void setAlbumRating(const std::string& id, std::optional<int> rating, Done done = {}) = 0;
    virtual void setLoved(const std::string& id, bool loved, Done done = {}) = 0;
    virtual std::unordered_map<std::string, SongStats> readAll() = 0;

    virtual void upsertAddedSong(const AddedSong& song, Done done = {}) = 0;
    virtual void removeAddedSong(const std::string& id, Done done = {}) = 0;
    virtual std::vector<AddedSong> readAddedSongs() = 0;

    virtual ListenId enqueueListen(const std::string& service, const std::string& payload,
                                   Done done = {}) = 0;
    // The oldest `limit` listens of `service`, oldest first, handed to `then` on the main thread.
    virtual void pendingListens(const std::string& service, std::size_t limit,
                                std::function<void(std::vector<Listen>)> then) = 0;
    // IDs that are not queued (any more) are passed over.
    virtual void removeListens(const std::vector<ListenId>& ids, Done done = {}) = 0;
    // `when`: UTC seconds since 1970.
    virtual void setLastAccepted(const std::string& service, std::int64_t when, Done done = {}) = 0;
    // How many listens of `service` wait and when it last accepted one, on the main thread.
    virtual void queueState(const std::string& service, std::function<void(ListenQueueState)> then) = 0;

    // Waits until every change taken so far is on disk (tried once more where it failed).
    // Empty then, else why not. For the quit; the only wait apart from the start.
    virtual std::string flush() = 0;

    // The changes taken from beginTogether() to the matching endTogether() are written in one
    // transaction: a kill keeps all of them or none. A read or a flush taken meanwhile writes
    // those before it at once.
    virtual void beginTogether() {}
    virtual void endTogether() {}
};

// Changes taken while it lives are written together.
class ChangesTogether {
public:
    explicit ChangesTogether(LibraryDatabase* database) : database_(database) {
        if (database_) database_->beginTogether();
    }
    ~ChangesTogether() {
        if (database_) database_->endTogether();
    }
    ChangesTogether(const ChangesTogether&) = delete;
    ChangesTogether& operator=(const ChangesTogether&) = delete;

private:
    LibraryDatabase* database_;
};

} // namespace platter
