// Finding the songs' files: a background search after every build of the model or change of
// the chosen music folders, whose results the main thread hands to the songs and the window.

#include "core/library/app_delegate.h"
#include "core/library/file_url.h"
#include "core/library/song_locator.h"
#include "core/services/dialogs.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"
#include "core/services/view_refresh.h"
#include "core/settings/user_defaults.h"

#include <algorithm>
#include <utility>

namespace platter {

void AppDelegate::findSongFiles() {
    const auto search = ++songFileSearch_;
    const auto library = pathFromFileUrl(musicLibraryUrl_).value_or("");
    SongLocator::Places places{musicFolderUrl_, musicFolders_, library.substr(0, library.rfind('/')),
                               services_.system.musicDirectory()};
    auto songs = std::make_shared<const std::vector<SongPtr>>(allSongs_);
    // The work outlives nothing it uses: the runner stops before the services go, and the
    // controller is looked for again on the main thread.
    services_.tasks.runInBackground([&files = services_.fileSystem, &rules = services_.rules,
                                     &tasks = services_.tasks, alive = std::weak_ptr<int>(lifetime_), this,
                                     search, songs = std::move(songs), places = std::move(places)] {
        SongLocator locator(files, rules, places);
        std::vector<SongFile> found;
        found.reserve(songs->size());
        for (const auto& song : *songs)
            found.push_back(locator.locate(song->url()));
        tasks.runOnMainThread([alive, this, search, songs, found = std::move(found)]() mutable {
            if (!alive.expired()) applySongFiles(search, *songs, std::move(found));
        });
    });
}

void AppDelegate::applySongFiles(std::uint64_t search, const std::vector<SongPtr>& songs,
                                 std::vector<SongFile> files) {
    if (search != songFileSearch_) return; // a newer search or another model
    libraryFiles_ = {};
    for (std::size_t i = 0; i < songs.size(); ++i) {
        libraryFiles_.add(files[i].status);
        songs[i]->setFile(std::move(files[i]));
    }
    const auto* playing = playlistAt(playinglistNumber_);
    for (const auto& playlist : allPlaylists_) {
        playlist->countFiles();
        // Songs that could not be played may be found now; a queue that is not playing is
        // built afresh when it plays.
        if (playlist.get() != playing && !playlist->unplayableIndexes.empty()) playlist->dropQueue();
    }
    songFilesKnown_ = true;
    if (viewCont_) viewCont_->refreshSongFiles();
    if (std::exchange(playWhenFilesKnown_, false)) playMusic();
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
    services_.defaults.synchronize();
    findSongFiles();
}

} // namespace platter
