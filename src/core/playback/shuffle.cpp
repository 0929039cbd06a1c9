#include "core/library/app_delegate.h"
#include "core/library/my_playlist.h"
#include "core/services/random_source.h"
#include "core/services/view_refresh.h"
#include "core/settings/user_defaults.h"

#include <algorithm>

namespace platter {

std::vector<std::string_view> MyPlaylist::shuffleWithSettingVersion(std::int64_t version,
                                                                    RandomSource& random) {
    const auto range = unitRange();
    const bool rebuild = shuffleVersion < version || units.empty();
    if (rebuild) {
        buildUnits(range, random); // every unit draws its number as it is made
        shuffleVersion = version;
    }
    // Sorted as (number, position) pairs: compact to sort, and equal numbers keep their order,
    // so a seeded source gives the same order with any standard library.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
    keys.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (!rebuild) units[i]->setNum(random.uniform(range));
        keys.emplace_back(units[i]->num(), static_cast<std::uint32_t>(i));
    }
    std::sort(keys.begin(), keys.end());
    std::vector<UnitPtr> sorted;
    sorted.reserve(units.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(units[key.second]));
    units = std::move(sorted);

    shuffledSongs.clear();
    shuffledSongs.reserve(songs_.size());
    for (const auto& unit : units)
        for (const auto& song : unit->songs())
            shuffledSongs.push_back(song);
    resetAtShuffle();
    std::vector<std::string_view> ids;
    ids.reserve(shuffledSongs.size());
    for (const auto& song : shuffledSongs)
        ids.push_back(song->persistentID());
    return ids;
}

void MyPlaylist::resetAtShuffle() {
    dropQueue();
    nextNumToAdd = 0;
    playingNum = 0;
}

void MyPlaylist::takeQueueFrom(MyPlaylist& earlier) {
    player = std::move(earlier.player);
    playerItems = std::move(earlier.playerItems);
    songsVisited_ = earlier.songsVisited_;
    nextNumToAdd = earlier.nextNumToAdd;
    unplayableIndexes = std::move(earlier.unplayableIndexes);
    indexesOfItems = std::move(earlier.indexesOfItems);
    addedTime = earlier.addedTime;
    finishedTime = earlier.finishedTime;
    playingNum = earlier.playingNum;
}

void MyPlaylist::dropQueue() {
    player.reset();
    playerItems.clear();
    songsVisited_ = 0;
    nextNumToAdd = playingNum;
    unplayableIndexes.clear();
    indexesOfItems.clear();
    addedTime = 0;
    finishedTime = 0;
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
    const auto ids = playlist.shuffleWithSettingVersion(settingVersion_, services_.random);
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
