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
    const auto ids = shuffleWithSettingVersion(playlist, settingVersion_, services_.random);
    dropQueue(playlist);
    const auto& id = playlist.persistentID();
    auto& stored = playlistDict_[id];
    stored.assign(ids.begin(), ids.end());
    orderFilesRead_.insert(id);
    stateWriter_->write(state_files::orderOf(id), [id, songs = stored] { return encodeOrder(id, songs); });
    // A new order starts at its first song.
    playingNumDict_.erase(id);
    storePositions();
}

} // namespace platter
