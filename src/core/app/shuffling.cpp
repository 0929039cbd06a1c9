#include "core/app/app_delegate.h"
#include "core/shuffle/shuffle.h"
#include "core/services/random_source.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>

namespace platter {

void AppDelegate::reshuffle() {
    auto* selected = playlistAt(playlistNumber_);
    if (!selected) return;
    pauseMusic();
    shuffleAndStore(*selected);
    if (viewCont_) viewCont_->refreshMainView();
}

void AppDelegate::shuffleAndStore(MyPlaylist& playlist) {
    shuffleWithSettingVersion(playlist, settingVersion_, services_.random);
    dropQueue(playlist);
    storeOrder(playlist);
    // A new order starts at its first song.
    playingNumDict_.erase(playlist.persistentID());
    storePositions();
    rememberSeconds(playlist, 0);
}

void AppDelegate::storeOrder(MyPlaylist& playlist) {
    const auto& id = playlist.persistentID();
    auto& stored = playlistDict_[id];
    // Written over in place: the strings keep their buffers, which spares a 200k-song order as
    // many allocations on every reshuffle.
    stored.resize(playlist.shuffledSongs.size());
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i].assign(playlist.shuffledSongs[i]->persistentID());
    orderFilesRead_.insert(id);
    stateWriter_->write(state_files::orderOf(id), [id, songs = stored] { return encodeOrder(id, songs); });
}

void AppDelegate::playNext(std::size_t index) {
    auto* selected = playlistAt(playlistNumber_);
    if (!selected || configuring_ || !selected->moveUnitAfterPlaying(static_cast<std::int64_t>(index))) return;
    storeOrder(*selected);
    rememberPosition(*selected);
    // The song playing plays on; a queue that holds none is built again at the next play.
    if (auto* queue = queueOf(*selected); queue && !queue->requeueAfterCurrent(filePreparer(), nextItemId_))
        dropQueue(*selected);
    if (viewCont_) viewCont_->refreshMainView();
}

} // namespace platter
