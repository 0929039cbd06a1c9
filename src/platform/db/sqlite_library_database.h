#pragma once

#include "core/services/library_database.h"
#include "core/services/task_runner.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platter {

// The library database in SQLite, at $XDG_DATA_HOME/platter/library.sqlite
// (~/.local/share/platter/ when the variable is unset), with its daily backup beside it.
// Opened on the constructing thread; changes and reads go to a thread of its own, and what
// they hand back reaches the main thread through `tasks`, which must outlive the database.
// Destroying it flushes.
class SqliteLibraryDatabase final : public LibraryDatabase {
public:
    // `now`: UTC seconds since 1970, for the backup's age; the system's clock when empty.
    SqliteLibraryDatabase(const std::string& path, TaskRunner& tasks, std::function<std::int64_t()> now = {});
    ~SqliteLibraryDatabase() override;
    SqliteLibraryDatabase(const SqliteLibraryDatabase&) = delete;
    SqliteLibraryDatabase& operator=(const SqliteLibraryDatabase&) = delete;
    static std::string defaultPath();

    const DatabaseOpenReport& openReport() const override { return report_; }

    void addPlay(const std::string& id, std::int64_t when, Done done = {}) override;
    void addSkip(const std::string& id, std::int64_t when, Done done = {}) override;
    void setRating(const std::string& id, std::optional<int> rating, Done done = {}) override;
    void setAlbumRating(const std::string& id, std::optional<int> rating, Done done = {}) override;
    void setLoved(const std::string& id, bool loved, Done done = {}) override;
    std::unordered_map<std::string, SongStats> readAll() override;

    void upsertAddedSong(const AddedSong& song, Done done = {}) override;
    void removeAddedSong(const std::string& id, Done done = {}) override;
    std::vector<AddedSong> readAddedSongs() override;

    ListenId enqueueListen(const std::string& service, const std::string& payload, Done done = {}) override;
    void pendingListens(const std::string& service, std::size_t limit,
                        std::function<void(std::vector<Listen>)> then) override;
    void removeListens(const std::vector<ListenId>& ids, Done done = {}) override;
    void setLastAccepted(const std::string& service, std::int64_t when, Done done = {}) override;
    void queueState(const std::string& service, std::function<void(ListenQueueState)> then) override;

    std::string flush() override;
    void beginTogether() override;
    void endTogether() override;

    class Session; // the connection and its prepared statements, the worker's alone

private:
    struct Job {
        enum class Kind { Change, Read, Flush };
        Kind kind = Kind::Change;
        std::function<int(Session&)> work; // a change answers SQLite's result code
        Done done;
    };
    void change(std::function<int(Session&)> work, Done done);
    void read(std::function<int(Session&)> work);
    template <class Result> Result readAndWait(std::function<Result(Session&)> work);
    void enqueue(Job job);
    void run();
    void commit(std::deque<Job>& changes);
    void acknowledge(const Done& done, std::string error);

    TaskRunner& tasks_;
    DatabaseOpenReport report_;
    std::unique_ptr<Session> session_;
    std::atomic<ListenId> nextListen_{1};

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    int together_ = 0;    // open groups of changes: the worker leaves changes alone meanwhile
    bool urgent_ = false; // a read or a flush waits in jobs_

    // The worker's own.
    std::deque<Job> retry_; // changes the disk refused, tried again with the next
    std::string problem_;   // why they were refused

    std::thread worker_;
};

} // namespace platter
