// Reading the library file again when it changes on disk, keeping what the user was doing.

#include "core/app/app_delegate.h"
#include "core/model/file_url.h"
#include "core/services/file_watcher.h"
#include "core/services/property_list_reader.h"
#include "core/services/task_runner.h"
#include "core/services/view_refresh.h"

#include <algorithm>

namespace platter {

namespace {

std::optional<std::size_t> indexOf(const std::vector<PlaylistPtr>& playlists, std::string_view persistentID) {
    const auto it = std::find_if(playlists.begin(), playlists.end(),
                                 [&](const PlaylistPtr& p) { return p->persistentID() == persistentID; });
    if (it == playlists.end()) return std::nullopt;
    return static_cast<std::size_t>(it - playlists.begin());
}

bool sameOrder(const MyPlaylist& a, const MyPlaylist& b) {
    return std::equal(a.shuffledSongs.begin(), a.shuffledSongs.end(), b.shuffledSongs.begin(),
                      b.shuffledSongs.end(),
                      [](const SongPtr& x, const SongPtr& y) { return x->persistentID() == y->persistentID(); });
}

} // namespace

void AppDelegate::watchLibraryFile() {
    const auto path = pathFromFileUrl(musicLibraryUrl_);
    if (!services_.libraryWatcher || !path) return;
    services_.libraryWatcher->watch(*path, [this, alive = std::weak_ptr<int>(lifetime_)] {
        if (!alive.expired()) libraryFileChanged();
    });
}

void AppDelegate::libraryFileChanged() {
    const auto change = ++libraryChange_;
    services_.tasks.runOnMainThreadAfter(libraryQuietPeriod, [this, change, alive = std::weak_ptr<int>(lifetime_)] {
        // A later change waits its own quiet period.
        if (!alive.expired() && change == libraryChange_) reloadChangedLibrary(change);
    });
}

void AppDelegate::reloadChangedLibrary(std::uint64_t change) {
    const auto path = pathFromFileUrl(musicLibraryUrl_);
    if (!path) return;
    services_.tasks.runInBackground([&reader = services_.plistReader, &tasks = services_.tasks, path = *path,
                                     alive = std::weak_ptr<int>(lifetime_), this, change] {
        auto library = reader.readFile(path).document;
        tasks.runOnMainThread([alive, this, change, library = std::move(library)] {
            if (alive.expired() || change != libraryChange_) return;
            // A dialog's caller holds on to the model it showed: try again when it has closed.
            if (dialogs_.anyOpen()) {
                services_.tasks.runOnMainThreadAfter(libraryQuietPeriod, [this, change, alive] {
                    if (!alive.expired() && change == libraryChange_) reloadChangedLibrary(change);
                });
                return;
            }
            if (library && libraryProblem(*library).empty()) takeChangedLibrary(library);
        });
    });
}

void AppDelegate::takeChangedLibrary(const std::shared_ptr<const plist::Document>& library) {
    const auto* selected = playlistAt(playlistNumber_);
    const std::string selectedID = selected ? selected->persistentID() : std::string();
    const bool wasConfiguring = configuring_;
    // The playing playlist keeps its player alive through the rebuild.
    const auto playing = playinglistNumber_ ? library_.playlists[*playinglistNumber_] : nullptr;
    auto playingQueue = playing ? queues_.extract(playing.get()) : decltype(queues_)::node_type{};
    const auto earlierSongs = library_.songsByPersistentID;
    if (!buildModel(library)) {
        if (playingQueue) queues_.insert(std::move(playingQueue));
        return;
    }

    // Songs whose location did not change keep the file found for them until the search
    // that the build started tells again, so a playing queue can go on meanwhile.
    for (const auto& song : library_.songs)
        if (const auto* earlier = earlierSongs.find(song->persistentID());
            earlier && song->fileStatus() == SongFile::Status::Unknown && (*earlier)->url() == song->url())
            song->setFile({(*earlier)->fileStatus(), std::string((*earlier)->filePath())});

    if (playing) {
        const auto index = indexOf(library_.playlists, playing->persistentID());
        if (index && playingQueue && sameOrder(*library_.playlists[*index], *playing)) {
            playingQueue.mapped()->moveTo(library_.playlists[*index]);
            playingQueue.key() = library_.playlists[*index].get();
            queues_.insert(std::move(playingQueue));
            playinglistNumber_ = index;
        }
    }
    if (const auto index = selectedID.empty() ? std::nullopt : indexOf(library_.playlists, selectedID)) {
        playlistNumber_ = index;
        configuring_ = wasConfiguring || library_.playlists[*index]->shuffledSongs.empty();
    }
    if (!viewCont_) return;
    viewCont_->refreshPlaylistView();
    refreshForSelection();
    if (!configuring_) viewCont_->refreshViewsWithTopViewMode(TopViewMode::Playing);
    if (auto* now = playlistAt(playinglistNumber_))
        if (const auto info = now->nowPlayingInfo())
            viewCont_->willPlayWithArtwork(nowPlayingArtwork(*now), info->song, info->album, info->artist);
}

} // namespace platter
