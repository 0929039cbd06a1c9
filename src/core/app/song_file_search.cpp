#include "core/app/song_file_search.h"

#include "core/app/state_keeper.h"
#include "core/persistence/user_defaults.h"
#include "core/services/dialogs.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"

#include <algorithm>
#include <utility>

namespace platter {

namespace {
constexpr std::size_t songsPerSlice = 4096;
}

SongFileSearch::SongFileSearch(Services services, const Library& library, StateKeeper& state,
                               std::function<void()> found)
    : services_(services), library_(library), state_(state), found_(std::move(found)) {}

void SongFileSearch::readSettings() { folders_ = readMusicFolders(services_.defaults); }

void SongFileSearch::forget() {
    ++search_;
    known_ = false;
    counts_ = {};
}

void SongFileSearch::start(const std::string& libraryPath) {
    libraryPath_ = libraryPath;
    forget();
    const auto search = search_;
    SongLocator::Places places{library_.musicFolderUrl, folders_, libraryPath.substr(0, libraryPath.rfind('/')),
                               services_.system.musicDirectory()};
    auto results = std::make_shared<SongFileResults>();
    results->songs = library_.songs;
    results->playlists = library_.playlists;
    auto libraryFiles = std::make_shared<std::unordered_set<std::string>>();
    // The work outlives nothing it uses: the runner stops before the services go, and this is
    // looked for again on the main thread. Songs and playlists are only read.
    services_.tasks.runInBackground([&files = services_.fileSystem, &rules = services_.rules,
                                     &tasks = services_.tasks, alive = std::weak_ptr<int>(lifetime_), this,
                                     search, results = std::move(results), places = std::move(places),
                                     document = library_.document.get(), libraryFiles = std::move(libraryFiles)] {
        SongLocator locator(files, rules, places);
        locateAll(*results, locator);
        // The files the library file's songs have: no song is added for them.
        for (std::size_t i = 0; i < results->songs.size(); ++i)
            if (results->files[i].status == SongFile::Status::Found &&
                results->songs[i]->dict().document.get() == document)
                libraryFiles->insert(results->files[i].path);
        tasks.runOnMainThread([alive, this, search, results, libraryFiles] {
            if (!alive.expired()) apply(search, results, 0, libraryFiles);
        });
    });
}

void SongFileSearch::apply(std::uint64_t search, const std::shared_ptr<SongFileResults>& results,
                           std::size_t from, const Paths& libraryFiles) {
    if (search != search_) return; // a newer search or another model
    const auto to = std::min(from + songsPerSlice, results->songs.size());
    for (auto i = from; i < to; ++i)
        results->songs[i]->setFile(std::move(results->files[i]));
    if (to < results->songs.size()) {
        services_.tasks.runOnMainThread([alive = std::weak_ptr<int>(lifetime_), this, search, results, to,
                                         libraryFiles] {
            if (!alive.expired()) apply(search, results, to, libraryFiles);
        });
        return;
    }
    counts_ = results->library;
    for (std::size_t i = 0; i < results->playlists.size(); ++i)
        results->playlists[i]->setFiles(results->playlistFiles[i]);
    known_ = true;
    libraryFiles_ = libraryFiles;
    if (found_) found_();
}

bool SongFileSearch::chooseFolder() {
    const auto folder = services_.dialogs.runFolderPanel();
    if (!folder) return false;
    // A folder chosen again is searched again: its files may have arrived since.
    if (std::find(folders_.begin(), folders_.end(), *folder) != folders_.end()) {
        restart();
        return true;
    }
    auto folders = folders_;
    folders.push_back(*folder);
    setFolders(std::move(folders));
    return true;
}

void SongFileSearch::setFolders(std::vector<std::string> folders) {
    if (folders == folders_) return;
    folders_ = std::move(folders);
    if (folders_.empty()) {
        services_.defaults.removeObjectForKey(keys::musicFolders);
    } else {
        plist::Array stored(folders_.begin(), folders_.end());
        services_.defaults.setObject(keys::musicFolders, std::move(stored));
    }
    state_.saveSettings();
    restart();
}

} // namespace platter
