#pragma once

// The library file: found at the start (asking for it while no usable one is known), read
// again at Reset, replaced when the user chooses another, and watched. When it changes on disk
// (another computer synced it, the library application wrote it) and has been quiet for
// `quietPeriod`, it is read and its model built on the disk lane, then handed over on the main
// thread; a file that is no library then (half-written) is passed over until the next change.

#include "core/model/library.h"
#include "core/services/dialogs.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platter {

class FileWatcher;
class PropertyListReader;
class StateKeeper;
class StringRules;
class SystemInfo;
class TaskRunner;
class TrackedDialogs;
class UserDefaults;

class LibraryReload {
public:
    static constexpr std::string_view defaultSuffix = "/Music/iTunes/iTunes Music Library.xml";
    // Where the newer Music application exports its library; looked for when the first is not.
    static constexpr std::string_view exportedSuffix = "/Music/Music/Library.xml";
    static constexpr std::chrono::milliseconds quietPeriod{2000};

    struct Services {
        const PropertyListReader& reader;
        UserDefaults& defaults;
        TrackedDialogs& dialogs;
        TaskRunner& tasks;
        FileWatcher* watcher; // none: the file is read again at Reset only
        const StringRules& rules;
        const SystemInfo& system;
    };
    // `changed` takes, on the main thread, the model of the file as it changed on disk, built
    // with the album settings `albumSettings` holds when the file settles.
    LibraryReload(Services services, StateKeeper& state, const AlbumSettings& albumSettings,
                  std::function<void(Library)> changed);
    LibraryReload(const LibraryReload&) = delete;
    LibraryReload& operator=(const LibraryReload&) = delete;

    // The stored library, else the default places; else the one the user chooses. Null when the
    // user, told why a library file is needed, chose to quit.
    std::shared_ptr<const plist::Document> locate();
    // The current file read again; null when it is no longer a library.
    std::shared_ptr<const plist::Document> readAgain();
    // Another file chosen in the open panel, remembered when it is a library; else null, the
    // reason told.
    std::shared_ptr<const plist::Document> choose();
    const std::string& url() const { return url_; }
    std::string path() const;

    // Watches the current file; a reading of an earlier one still under way is no longer wanted.
    void watch();
    // The file changed on disk: it is read once it has been quiet.
    void fileChanged();
    // The songs added on this computer, which the model of a changed file holds too.
    void useAdded(std::shared_ptr<const plist::Document> added) { added_ = std::move(added); }

private:
    std::shared_ptr<const plist::Document> read(const std::string& url);
    std::shared_ptr<const plist::Document> takeChosen(const std::string& path);
    void reload(std::uint64_t change);
    void later(std::uint64_t change);

    Services services_;
    StateKeeper& state_;
    const AlbumSettings& albumSettings_;
    std::function<void(Library)> changed_;
    std::string url_ = "file:///Users";
    // Why the file last read could not be used.
    Dialogs::NotALibrary::Why why_ = Dialogs::NotALibrary::Why::NoLibrary;
    std::string detail_;
    LibraryProblem problem_;
    std::uint64_t change_ = 0; // the latest change of the file
    std::shared_ptr<const plist::Document> added_;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
