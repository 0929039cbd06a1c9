// Building the model from the library file: songs, albums, artists, playlists, and the orders
// and positions stored by earlier runs.

#include "core/app/app_delegate.h"
#include "core/services/view_refresh.h"
#include "core/shuffle/shuffle.h"

#include <algorithm>
#include <utility>

namespace platter {

bool AppDelegate::setAllTracks() {
    const auto library = readLibrary(musicLibraryUrl_);
    return library && buildModel(library);
}

bool AppDelegate::buildModel(const std::shared_ptr<const plist::Document>& library) {
    auto built = buildLibrary(library, albumSettings_, services_.rules, library_.albumDict);
    if (!built) return false;
    settingVersion_ = 0;
    library_ = std::move(*built);
    for (const auto& playlist : library_.playlists)
        restoreStoredOrder(*playlist);
    configuring_ = true;
    // The playlists are new objects, perhaps in another order: an old index could name another
    // playlist, or none, and the list shows no selection after it reloads. (The old playing
    // playlist's player went with it.)
    playlistNumber_.reset();
    playinglistNumber_.reset();
    queues_.clear();
    songFilesKnown_ = false;
    libraryFiles_ = {};
    findSongFiles();

    if (viewCont_) {
        viewCont_->refreshPlaylistView();
        viewCont_->refreshViewsWithTopViewMode(TopViewMode::NoSelection, 0, 0, 0.0, false, true);
    }
    return true;
}

void AppDelegate::restoreStoredOrder(MyPlaylist& playlist) {
    const auto& id = playlist.persistentID();
    // Its own file is newer than an imported order; read once, as later the order in memory is.
    if (orderFilesRead_.insert(id).second) {
        const auto file = services_.state.read(state_files::orderOf(id));
        if (file.status == StateStorage::ReadResult::Status::Found)
            if (auto order = decodeOrder(file.bytes, id, services_.plistReader))
                playlistDict_[id] = std::move(*order);
    }
    const auto stored = playlistDict_.find(id);
    if (stored == playlistDict_.end()) return;
    auto storedIDs = stored->second;
    std::vector<std::string_view> current;
    current.reserve(playlist.songs().size());
    for (const auto& s : playlist.songs())
        current.push_back(s->persistentID());
    std::sort(storedIDs.begin(), storedIDs.end());
    std::sort(current.begin(), current.end());
    if (!std::equal(storedIDs.begin(), storedIDs.end(), current.begin(), current.end())) {
        playlistDict_.erase(stored);
        stateWriter_->remove(state_files::orderOf(id));
        return;
    }
    std::vector<SongPtr> order;
    order.reserve(stored->second.size());
    for (const auto& songID : stored->second)
        order.push_back(library_.songsByPersistentID.at(songID));
    restoreOrder(playlist, std::move(order), services_.random);
    playlist.shuffleVersion = 0;
    // A position outside the order would index past its end; the order then starts afresh.
    if (const auto n = playingNumDict_.find(playlist.persistentID());
        n != playingNumDict_.end() && n->second >= 0 &&
        n->second < static_cast<std::int64_t>(playlist.shuffledSongs.size())) {
        playlist.playingNum = n->second;
    }
}

} // namespace platter
