#include "core/playback/play_queue.h"

#include <algorithm>

namespace platter {

namespace {
constexpr double queueWindowSeconds = 2400.0;
}

PlayQueue::PlayQueue(PlaylistPtr playlist, std::unique_ptr<QueuePlayer> player, ReplayGain::Mode mode)
    : playlist_(std::move(playlist)), player_(std::move(player)), mode_(mode), nextNumToAdd_(playlist_->playingNum) {}

QueuePlayer::Gain PlayQueue::gainAt(std::int64_t index) const {
    using Gain = QueuePlayer::Gain;
    switch (mode_) {
    case ReplayGain::Mode::Off:
        return Gain::Recorded;
    case ReplayGain::Mode::Track:
        return Gain::Track;
    case ReplayGain::Mode::Album:
        return Gain::Album;
    case ReplayGain::Mode::ByGrain:
        break;
    }
    // An album or a disc keeps its own dynamics; songs drawn one by one are evened out.
    const auto place = playlist_->unitAt(index);
    return place && playlist_->units[place->unit]->kind() == UnitKind::Song ? Gain::Track : Gain::Album;
}

void PlayQueue::setReplayGainMode(ReplayGain::Mode mode) {
    mode_ = mode;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i].gain = gainAt(indexesOfItems_[i]);
        player_->setGain(items_[i].id, items_[i].gain);
    }
}

void PlayQueue::addItems(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId) {
    const auto& order = playlist_->shuffledSongs;
    const auto count = order.size();
    while (addedTime_ - finishedTime_ < queueWindowSeconds && songsVisited_ < count) {
        const auto index = nextNumToAdd_;
        auto file = prepare(*order[static_cast<std::size_t>(index)]);
        if (file.status == QueuedFile::Status::Later) return;
        if (file.status == QueuedFile::Status::Ready) {
            addedTime_ += file.duration;
            const auto id = nextItemId++;
            const auto gain = gainAt(index);
            player_->append(id, file.path, file.duration, gain);
            items_.push_back({id, std::move(file.path), file.duration, gain});
            indexesOfItems_.push_back(index);
        } else {
            unplayableIndexes_.insert(index);
        }
        ++songsVisited_;
        nextNumToAdd_ = (index + 1) % static_cast<std::int64_t>(count);
    }
}

std::int64_t PlayQueue::nextPlayableAfter(std::int64_t from) const {
    const auto count = static_cast<std::int64_t>(playlist_->shuffledSongs.size());
    for (std::int64_t step = 1; step < count; ++step) {
        const auto candidate = (from + step) % count;
        if (!unplayableIndexes_.contains(candidate)) return candidate;
    }
    return from;
}

void PlayQueue::skipUnplayableCurrent() {
    if (unplayableIndexes_.contains(playlist_->playingNum))
        playlist_->playingNum = nextPlayableAfter(playlist_->playingNum);
}

void PlayQueue::itemEnded(const Item& item, bool failed, const FilePreparer& prepare,
                          QueuePlayer::ItemId& nextItemId) {
    // An item that could not be played ends like any other and is not offered again.
    if (failed) {
        const auto at = std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return i.id == item.id; });
        if (at != items_.end()) unplayableIndexes_.insert(indexesOfItems_[static_cast<std::size_t>(at - items_.begin())]);
    }
    finishedTime_ += item.duration;
    addItems(prepare, nextItemId);
    playlist_->playingNum = nextPlayableAfter(playlist_->playingNum);
}

bool PlayQueue::requeueAfterCurrent(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId) {
    const auto* current = currentItem();
    if (!current) return false;
    const auto kept = *current;
    player_->removeItemsAfterCurrent();
    // Order indexes of the old order mean nothing now: the queue starts over from this item.
    items_ = {kept};
    indexesOfItems_ = {playlist_->playingNum};
    unplayableIndexes_.clear();
    // Counted as if the round had begun at the order's start: it stops after the last song.
    songsVisited_ = static_cast<std::size_t>(playlist_->playingNum) + 1;
    endsWithOrder_ = true;
    nextNumToAdd_ = (playlist_->playingNum + 1) % static_cast<std::int64_t>(playlist_->shuffledSongs.size());
    addedTime_ = finishedTime_ + kept.duration;
    addItems(prepare, nextItemId);
    return true;
}

void PlayQueue::rewind() {
    player_->removeAllItems();
    finishedTime_ = 0;
    if (endsWithOrder_) {
        // The next round is queued from the order's start when it plays.
        items_.clear();
        indexesOfItems_.clear();
        unplayableIndexes_.clear();
        songsVisited_ = 0;
        nextNumToAdd_ = playlist_->playingNum = 0;
        addedTime_ = 0;
        endsWithOrder_ = false;
        return;
    }
    bool first = true;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const auto index = indexesOfItems_[i];
        if (unplayableIndexes_.contains(index)) continue;
        if (first) playlist_->playingNum = index;
        first = false;
        player_->append(items_[i].id, items_[i].path, items_[i].duration, items_[i].gain);
    }
    player_->seekPlayer(0);
}

void PlayQueue::clear() {
    player_->removeAllItems();
    items_.clear();
    indexesOfItems_.clear();
    unplayableIndexes_.clear();
    songsVisited_ = 0;
    nextNumToAdd_ = playlist_->playingNum;
    addedTime_ = finishedTime_ = 0;
    endsWithOrder_ = false;
}

const PlayQueue::Item* PlayQueue::currentItem() const {
    const auto current = player_->currentItem();
    if (!current) return nullptr;
    for (const auto& item : items_)
        if (item.id == *current) return &item;
    return nullptr;
}

const PlayQueue::Item* PlayQueue::itemOfCurrentSong() const {
    if (const auto* current = currentItem()) return current;
    const auto at = std::find(indexesOfItems_.begin(), indexesOfItems_.end(), playlist_->playingNum);
    if (at == indexesOfItems_.end()) return nullptr;
    return &items_[static_cast<std::size_t>(at - indexesOfItems_.begin())];
}

void PlayQueue::moveTo(PlaylistPtr playlist) {
    playlist->playingNum = playlist_->playingNum;
    playlist_ = std::move(playlist);
}

} // namespace platter
