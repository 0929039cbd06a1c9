#pragma once

// A playing playlist's queue: a player of its own, with the songs of the playlist's order
// queued about forty minutes ahead, songs without a playable file passed over. It is made when
// the playlist plays and dropped with a new order, or when another playlist plays.

#include "core/model/my_playlist.h"
#include "core/services/queue_player.h"
#include "core/services/replay_gain.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace platter {

class PlayQueue {
public:
    struct Item {
        QueuePlayer::ItemId id;
        std::string path;
        double duration;
        QueuePlayer::Gain gain;
    };
    // A song's file as the queue plays it: its path and length; or none to play; or its length
    // still being read, where topping up stops until it is known.
    struct QueuedFile {
        enum class Status { Ready, Unplayable, Later };
        Status status = Status::Unplayable;
        std::string path;
        double duration = 0;
    };
    using FilePreparer = std::function<QueuedFile(const MySong&)>;

    // Queues the playlist's order from its current song on, levelled by `mode`.
    PlayQueue(PlaylistPtr playlist, std::unique_ptr<QueuePlayer> player, ReplayGain::Mode mode);
    PlayQueue(const PlayQueue&) = delete;
    PlayQueue& operator=(const PlayQueue&) = delete;

    MyPlaylist& playlist() const { return *playlist_; }
    QueuePlayer& player() const { return *player_; }
    const std::vector<Item>& items() const { return items_; }
    // The index in the order of each item, in step with `items`.
    const std::vector<std::int64_t>& indexesOfItems() const { return indexesOfItems_; }
    const std::set<std::int64_t>& unplayableIndexes() const { return unplayableIndexes_; }
    double finishedTime() const { return finishedTime_; }
    std::int64_t nextNumToAdd() const { return nextNumToAdd_; }
    // Whether songs of this round are still to be queued or passed over.
    bool roundQueued() const { return songsVisited_ >= playlist_->shuffledSongs.size(); }
    // The seconds queued ahead of what has played.
    double queuedAhead() const { return addedTime_ - finishedTime_; }

    // Tops the queue up to forty minutes ahead, songs without a playable file counted as
    // unplayable, up to the first song whose file is not known yet. `nextItemId` numbers the
    // items made.
    void addItems(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId);
    // After `item` ended (`failed` when it could not be played): accounts for it, tops the
    // queue up and moves the playlist on to the next playable song.
    void itemEnded(const Item& item, bool failed, const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId);
    // A resumed position whose song cannot be played moves on to one that can.
    void skipUnplayableCurrent();
    // The next playable index after `from`, cyclically; `from` itself when there is none.
    std::int64_t nextPlayableAfter(std::int64_t from) const;
    // The order changed around the current song, now at the playlist's position: the current
    // item plays on, and what follows it in the new order is queued, up to the order's end,
    // where the next round begins at its start. False when there was no current item to keep;
    // the queue is then to be built again.
    bool requeueAfterCurrent(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId);
    // The whole order has played: queues again what was queued, from its first playable item,
    // and puts the playlist there.
    void rewind();
    // Empties the queue and its player; the next `addItems` queues from the playlist's current
    // song, as a new queue would. Nothing is held against any song.
    void clear();
    // The item playing or paused at.
    const Item* currentItem() const;
    // That item, or else the queued item of the playlist's current song.
    const Item* itemOfCurrentSong() const;
    // Levels the queued items by `mode` from now on; the current one keeps its gain.
    void setReplayGainMode(ReplayGain::Mode mode);
    // Goes on with another object of the same playlist, whose order is this one's (the library
    // was read again).
    void moveTo(PlaylistPtr playlist);

private:
    QueuePlayer::Gain gainAt(std::int64_t index) const;

    PlaylistPtr playlist_;
    std::unique_ptr<QueuePlayer> player_;
    ReplayGain::Mode mode_;
    std::vector<Item> items_;
    std::vector<std::int64_t> indexesOfItems_;
    std::set<std::int64_t> unplayableIndexes_;
    // Songs queued or found unplayable; each is visited once.
    std::size_t songsVisited_ = 0;
    std::int64_t nextNumToAdd_;
    double addedTime_ = 0;
    double finishedTime_ = 0;
    // The round ends with the order's last song: the order changed while it played.
    bool endsWithOrder_ = false;
};

} // namespace platter
