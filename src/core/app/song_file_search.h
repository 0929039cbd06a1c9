#pragma once

// Finding the songs' files: a background search after every build of the model or change of
// the music folders, whose results are handed to the songs on the main thread a slice at a
// time, so that it is never held for long. Playing waits for it: queueing reads where the
// files are.

#include "core/model/library.h"
#include "core/model/song_locator.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace platter {

class Dialogs;
class FileSystem;
class StateKeeper;
class StringRules;
class SystemInfo;
class TaskRunner;
class UserDefaults;

class SongFileSearch {
public:
    struct Services {
        const FileSystem& fileSystem;
        const StringRules& rules;
        TaskRunner& tasks;
        const SystemInfo& system;
        UserDefaults& defaults;
        Dialogs& dialogs;
    };
    // `found` hears, on the main thread, that a search ended and its results reached the songs
    // and the playlists' counts.
    SongFileSearch(Services services, const Library& library, StateKeeper& state, std::function<void()> found);
    SongFileSearch(const SongFileSearch&) = delete;
    SongFileSearch& operator=(const SongFileSearch&) = delete;

    // Reads the chosen music folders from the settings.
    void readSettings();
    // Searches the model's songs anew, from the library file at `libraryPath` on; results of an
    // earlier search still under way are no longer wanted.
    void start(const std::string& libraryPath);
    // Searches again where the last search looked, as after a change of the music folders.
    void restart() { start(libraryPath_); }
    // Forgets what the last search found: the model is new.
    void forget();
    bool known() const { return known_; }
    // The files the library file's songs have here, as the last search found them.
    using Paths = std::shared_ptr<const std::unordered_set<std::string>>;
    const Paths& libraryFiles() const { return libraryFiles_; }
    const FileCounts& counts() const { return counts_; }

    // The folders the user chose to look for music in, searched before any other.
    const std::vector<std::string>& folders() const { return folders_; }
    // Stores the folders and searches again when they changed.
    void setFolders(std::vector<std::string> folders);
    // Asks for a folder that holds the library's music; a chosen one is stored and searched.
    // True when the user chose one.
    bool chooseFolder();

private:
    void apply(std::uint64_t search, const std::shared_ptr<SongFileResults>& results, std::size_t from,
               const Paths& libraryFiles);

    Services services_;
    const Library& library_;
    StateKeeper& state_;
    std::function<void()> found_;
    std::string libraryPath_;
    std::vector<std::string> folders_;
    std::uint64_t search_ = 0; // the search whose results are wanted
    bool known_ = false;
    FileCounts counts_;
    Paths libraryFiles_;
    // Work handed back to the main thread checks this is still alive.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
