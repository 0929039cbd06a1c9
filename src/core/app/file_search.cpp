// Finding the songs' files: a background search after every build of the model or change of
// the chosen music folders, whose results the main thread hands to the songs and the window.

#include "core/app/app_delegate.h"
#include "core/model/file_url.h"
#include "core/model/song_locator.h"
#include "core/services/dialogs.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>
#include <utility>

namespace platter {

namespace {
constexpr std::size_t songsPerSlice = 4096;
}

void AppDelegate::findSongFiles() {
    const auto search = ++songFileSearch_;
    const auto library = pathFromFileUrl(musicLibraryUrl_).value_or("");
    SongLocator::Places places{library_.musicFolderUrl, musicFolders_, library.substr(0, library.rfind('/')),
                               services_.system.musicDirectory()};
    auto results = std::make_shared<SongFileResults>();
    results->songs = library_.songs;
    results->playlists = library_.playlists;
    // The work outlives nothing it uses: the runner stops before the services go, and the
    // controller is looked for again on the main thread. Songs and playlists are only read.
    services_.tasks.runInBackground([&files = services_.fileSystem, &rules = services_.rules,
                                     &tasks = services_.tasks, alive = std::weak_ptr<int>(lifetime_), this,
                                     search, results = std::move(results), places = std::move(places)] {
        SongLocator locator(files, rules, places);
        locateAll(*results, locator);
        tasks.runOnMainThread([alive, this, search, results] {
            if (!alive.expired()) applySongFiles(search, results, 0);
        });
    });
}

void AppDelegate::applySongFiles(std::uint64_t search, const std::shared_ptr<SongFileResults>& results,
                                 std::size_t from) {
    if (search != songFileSearch_) return; // a newer search or another model
    const auto to = std::min(from + songsPerSlice, results->songs.size());
    for (auto i = from; i < to; ++i)
        results->songs[i]->setFile(std::move(results->files[i]));
    if (to < results->songs.size()) {
        services_.tasks.runOnMainThread([alive = std::weak_ptr<int>(lifetime_), this, search, results, to] {
            if (!alive.expired()) applySongFiles(search, results, to);
        });
        return;
    }

    libraryFiles_ = results->library;
    const auto* playing = playlistAt(playinglistNumber_);
    for (std::size_t i = 0; i < results->playlists.size(); ++i) {
        auto& playlist = *results->playlists[i];
        playlist.setFiles(results->playlistFiles[i]);
        // Songs that could not be played may be found now; a queue that is not playing is
        // built afresh when it plays.
        if (const auto* queue = queueOf(playlist);
            &playlist != playing && queue && !queue->unplayableIndexes().empty())
            dropQueue(playlist);
    }
    songFilesKnown_ = true;
    if (viewCont_) viewCont_->refreshSongFiles();
    if (std::exchange(playWhenFilesKnown_, false)) return playMusic();
    // A song resumed at the start waits with its file's artwork, now that the file is known.
    if (auto* paused = playinglistNumber_ ? nullptr : controlled();
        paused && currentSong() && hasPlace(*paused))
        showNowPlaying(*paused, nowPlayingArtwork(*paused), false);
}

bool AppDelegate::chooseMusicFolder() {
    const auto folder = dialogs_.runFolderPanel("Choose the Folder That Holds Your Music");
    if (!folder) return false;
    // A folder chosen again is searched again: its files may have arrived since.
    if (std::find(musicFolders_.begin(), musicFolders_.end(), *folder) != musicFolders_.end()) {
        findSongFiles();
        return true;
    }
    auto folders = musicFolders_;
    folders.push_back(*folder);
    setMusicFolders(std::move(folders));
    return true;
}

void AppDelegate::setMusicFolders(std::vector<std::string> folders) {
    if (folders == musicFolders_) return;
    musicFolders_ = std::move(folders);
    if (musicFolders_.empty()) {
        services_.defaults.removeObjectForKey(keys::musicFolders);
    } else {
        plist::Array stored(musicFolders_.begin(), musicFolders_.end());
        services_.defaults.setObject(keys::musicFolders, std::move(stored));
    }
    saveSettings();
    findSongFiles();
}

} // namespace platter
