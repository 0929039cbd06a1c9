#pragma once

// Music added on this computer: the audio files of the music folders that no song of the
// library file refers to become songs of their own. Their records (file, size, modification
// time, tags, persistent ID) are kept in the library database, so a start needs no tag reading.
//
// A scan runs on the disk lane in small steps, so other disk work never waits long behind it:
// it lists the folders, passes over files whose size and modification time match their record,
// reads the tags of the others and notes the records whose file went away. A record of a file
// that went away is kept, marked gone (its statistics stay too), and the file coming back at
// the same path brings back the same song. The new records and their document are handed to
// the main thread at the end and at most every `batchInterval` while it runs, and the model is
// built again once per batch, never per file. While Platter runs, a change below the folders
// scans again once it has been quiet for `quietPeriod`.

#include "core/plist/document.h"
#include "core/services/library_database.h"
#include "core/services/music_files.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace platter {

class FolderWatcher;
class RandomSource;
class TaskRunner;

class AddedMusic {
public:
    static constexpr std::chrono::milliseconds quietPeriod{2000};
    static constexpr std::chrono::seconds batchInterval{3};
    // Files a step of the scan looks at before it lets other disk work run.
    static constexpr std::size_t filesPerStep = 64;

    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    struct Services {
        LibraryDatabase* database; // none: nothing is added
        const MusicFiles* music;   // none: nothing is added
        FolderWatcher* watcher;    // none: the folders are scanned at the start and when they change
        TaskRunner& tasks;
        RandomSource& random;
        Clock now = {}; // the steady clock unless given
    };
    struct Progress {
        std::size_t done = 0, total = 0;
    };
    using Paths = std::shared_ptr<const std::unordered_set<std::string>>;

    // `changed` hears, on the main thread, that document() changed; `progressed` that
    // progress() did.
    AddedMusic(Services services, std::function<void()> changed, std::function<void()> progressed);
    AddedMusic(const AddedMusic&) = delete;
    AddedMusic& operator=(const AddedMusic&) = delete;

    // Reads the records kept in the database. For the start: it waits for the database.
    void load();
    // The songs whose files are here, as the library file would list them; null with none.
    const std::shared_ptr<const plist::Document>& document() const { return document_; }
    // Every record, those of files gone included.
    const std::vector<AddedSong>& records() const { return *records_; }

    // Scans `folders` (and watches them), passing over the files in `libraryFiles`, which songs
    // of the library file have. A scan under way finishes first, then this one runs.
    void scan(std::vector<std::string> folders, Paths libraryFiles);
    // Scans again where the last scan looked.
    void rescan();
    // While a scan runs, how many of its files it has looked at.
    std::optional<Progress> progress() const { return progress_; }
    bool scanning() const { return running_; }

private:
    struct Job;
    struct Batch;
    void run();
    void take(const std::shared_ptr<Batch>& batch, std::size_t from);
    void foldersChanged();

    Services services_;
    std::function<void()> changed_, progressed_;
    std::shared_ptr<const std::vector<AddedSong>> records_;
    std::shared_ptr<const plist::Document> document_;
    std::vector<std::string> folders_;
    std::vector<std::string> watched_;
    Paths libraryFiles_;
    bool running_ = false;
    bool again_ = false;
    std::optional<Progress> progress_;
    std::uint64_t change_ = 0;
    std::shared_ptr<std::function<void()>> pendingStep_; // the scan's next step, while one runs
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
