#pragma once

#include "core/library/my_album.h"
#include "core/library/my_song.h"
#include "core/playback/my_unit.h"
#include "core/plist/document.h"
#include "core/services/queue_player.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class RandomSource;
class StringRules;

// The all-songs playlist or one playlist of the library file, with its shuffle and queue state.
class MyPlaylist {
public:
    static constexpr std::string_view allSongsName = "All Songs";

    // `initWithPersistentID:songs:albums:duration:`, for the all-songs playlist only.
    MyPlaylist(std::string_view persistentID, std::vector<SongPtr> songs, std::vector<AlbumPtr> albums,
               double duration);
    // `initWithDict:songs:masterPersistentID:`, known by `persistentID` (the reader makes it
    // unique). The dictionary has a string "Name"; the reader checks that before.
    MyPlaylist(std::string persistentID, plist::NodeRef dict, std::vector<SongPtr> songs,
               std::string_view masterPersistentID, const StringRules& rules);
    MyPlaylist(const MyPlaylist&) = delete;
    MyPlaylist& operator=(const MyPlaylist&) = delete;

    const std::string& persistentID() const { return persistentID_; }
    // A playlist dictionary's "Playlist Persistent ID", or a stand-in derived from the
    // dictionary when it has none.
    static std::string persistentIDOf(plist::NodeRef dict);
    const std::string& name() const { return name_; }
    const std::vector<SongPtr>& songs() const { return songs_; }
    // Display and unit-building order of the albums.
    std::vector<AlbumPtr>& albums() { return albums_; }
    const std::vector<AlbumPtr>& albums() const { return albums_; }
    double duration() const { return duration_; }
    const std::vector<std::string>& topArtists() const { return topArtists_; }
    // How many of its songs have a file here, as the songs' last search found.
    const FileCounts& files() const { return files_; }
    void setFiles(const FileCounts& counts) { files_ = counts; }
    void setTopArtists(std::vector<std::string> names) { topArtists_ = std::move(names); }

    // Shuffle state.
    std::vector<UnitPtr> units;
    std::vector<SongPtr> shuffledSongs;
    std::int64_t shuffleVersion = 0;
    bool sortAlbum = true;
    bool ascending = true;

    // Queue state.
    struct PlayerItem {
        QueuePlayer::ItemId id;
        std::string path;
        double duration;
    };
    // Created when the playlist first plays; dropped with its queue at every shuffle.
    std::unique_ptr<QueuePlayer> player;
    std::vector<PlayerItem> playerItems;
    std::int64_t nextNumToAdd = 0;
    std::set<std::int64_t> unplayableIndexes;
    std::vector<std::int64_t> indexesOfItems;
    double addedTime = 0;
    double finishedTime = 0;
    std::int64_t playingNum = 0;

    // Reorders `albums` by album then artist sort key, or artist then album, in one direction.
    void sortAlbumsWithFirstAlbum(bool firstAlbum, bool ascendingOrder);

    // Cuts the playlist into units by its albums' settings, each with a fresh number below
    // `range`. Albums are walked in their current order.
    void buildUnits(std::uint32_t range, RandomSource& random);
    // The unit number range: 100 per song.
    std::uint32_t unitRange() const;
    // A new random order of the units, rebuilt first when the album settings changed since
    // they were built; the persistent IDs of the new play order (views of the songs' own).
    std::vector<std::string_view> shuffleWithSettingVersion(std::int64_t version, RandomSource& random);
    // A new order starts at its first song with an empty queue.
    void resetAtShuffle();
    // Empties the queue and forgets which songs could not be played; the order goes on at
    // the current song when it plays again.
    void dropQueue();
    // Takes over the queue and player of the same playlist of an earlier model, whose order
    // this one has too.
    void takeQueueFrom(MyPlaylist& earlier);

    // A song's file as the queue plays it; nothing when there is none to play.
    struct QueuedFile {
        std::string path;
        double duration;
    };
    using FilePreparer = std::function<std::optional<QueuedFile>(const MySong&)>;
    // Tops the queue up to forty minutes ahead, songs without a playable file counted as
    // unplayable. `nextItemId` numbers the items made.
    void addItems(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId);
    // After `item` ended: accounts for it, tops the queue up and moves on to the next playable
    // song.
    void updatePlayWithPlayerItem(const PlayerItem& item, const FilePreparer& prepare,
                                  QueuePlayer::ItemId& nextItemId);
    // The next playable index after `from`, cyclically; `from` itself when there is none.
    std::int64_t nextPlayableAfter(std::int64_t from) const;

    struct NowPlaying {
        std::string song, album, artist;
    };
    // The current song's texts; nothing when the order is empty or the position outside it.
    std::optional<NowPlaying> nowPlayingInfo() const;

    // The play order as a property list the music library application imports: its tracks,
    // each dictionary exactly as read, and one playlist named `name`.
    std::string xmlDataWithName(std::string_view exportName) const;

private:
    // Songs queued or found unplayable since the last reset; each is visited once.
    std::size_t songsVisited_ = 0;
    std::string persistentID_;
    std::string name_;
    std::vector<SongPtr> songs_;
    std::vector<AlbumPtr> albums_;
    double duration_ = 0;
    std::vector<std::string> topArtists_;
    FileCounts files_;
};

using PlaylistPtr = std::shared_ptr<MyPlaylist>;

// The playlist name an export to `path` carries: the file name without any ".xml" in it.
std::string exportNameOf(std::string_view path);

// Album artists' names ranked by a count, most first; ties by name, for stable reports.
std::vector<std::string> rankByCount(std::vector<std::pair<std::string, std::size_t>> tally);

} // namespace platter
