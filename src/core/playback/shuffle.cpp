#include "core/library/app_delegate.h"
#include "core/library/my_playlist.h"
#include "core/services/random_source.h"
#include "core/services/view_refresh.h"
#include "core/settings/user_defaults.h"

#include <algorithm>

namespace platter {

std::vector<std::string> MyPlaylist::shuffleWithSettingVersion(std::int64_t version, RandomSource& random) {
    const auto range = unitRange();
    if (shuffleVersion < version || units.empty()) {
        buildUnits(range, random);
        shuffleVersion = version;
    } else {
        for (const auto& unit : units)
            unit->setNum(random.uniform(range));
    }
    // Stable, so that a seeded source gives the same order with any standard library.
    std::stable_sort(units.begin(), units.end(),
                     [](const UnitPtr& a, const UnitPtr& b) { return a->num() < b->num(); });
    shuffledSongs.clear();
    shuffledSongs.reserve(songs_.size());
    for (const auto& unit : units)
        shuffledSongs.insert(shuffledSongs.end(), unit->songs().begin(), unit->songs().end());
    resetAtShuffle();
    std::vector<std::string> ids;
    ids.reserve(shuffledSongs.size());
    for (const auto& song : shuffledSongs)
        ids.emplace_back(song->persistentID());
    return ids;
}

void MyPlaylist::resetAtShuffle() {
    nextNumToAdd = 0;
    unplayableIndexes.clear();
    indexesOfItems.clear();
    addedTime = 0;
    finishedTime = 0;
    playingNum = 0;
}

void MyPlaylist::sortAlbumsWithFirstAlbum(bool firstAlbum, bool ascendingOrder) {
    sortAlbum = firstAlbum;
    ascending = ascendingOrder;
    const auto key = [firstAlbum](const AlbumPtr& a) {
        return firstAlbum ? std::tie(a->sortAlbum(), a->sortArtist())
                          : std::tie(a->sortArtist(), a->sortAlbum());
    };
    std::stable_sort(albums_.begin(), albums_.end(), [&](const AlbumPtr& a, const AlbumPtr& b) {
        return ascendingOrder ? key(a) < key(b) : key(b) < key(a);
    });
}

void AppDelegate::reshuffle() {
    auto* selected = playlistAt(playlistNumber_);
    if (!selected) return;
    pauseMusic();
    shuffleAndStore(*selected);
    if (viewCont_) viewCont_->refreshMainView();
}

void AppDelegate::shuffleAndStore(MyPlaylist& playlist) {
    auto ids = playlist.shuffleWithSettingVersion(settingVersion_, services_.random);
    playlistDict_[playlist.persistentID()] = std::move(ids);
    // A new order starts at its first song.
    playingNumDict_.erase(playlist.persistentID());
    services_.defaults.setObject(keys::playlists, playlistOrdersValue(playlistDict_));
    services_.defaults.setObject(keys::playingNumbers, playingNumbersValue(playingNumDict_));
    services_.defaults.synchronize();
}

} // namespace platter
