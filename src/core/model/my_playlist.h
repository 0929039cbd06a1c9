#pragma once

#include "core/model/my_album.h"
#include "core/model/my_song.h"
#include "core/model/my_unit.h"
#include "core/plist/document.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class StringRules;

// The all-songs playlist or one playlist of the library file, with its order. Its queue, while
// it plays, is a `PlayQueue` of the controller's.
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
    // A folder of playlists is itself a playlist of the songs in them. Its playlists name it by
    // their "Parent Persistent ID", kept as the file gives it, empty without one.
    bool isFolder() const { return folder_; }
    const std::string& parentPersistentID() const { return parentPersistentID_; }
    // Where it sits among the playlists: its folder's index in `Library::playlists`, none at the
    // top level, and how many folders it is inside.
    std::optional<std::size_t> folderIndex() const { return folderIndex_; }
    std::size_t depth() const { return depth_; }
    void placeIn(std::optional<std::size_t> folder, std::size_t depth);
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

    // The order: its units, in order, and their songs one after another. `shuffleVersion` is
    // the album settings' version the units were cut by; `playingNum` the index of the song to
    // play or playing. Set an order through `setOrder`, which keeps the two in step.
    std::vector<UnitPtr> units;
    std::vector<SongPtr> shuffledSongs;
    std::int64_t shuffleVersion = 0;
    std::int64_t playingNum = 0;
    // How the configuration outline shows its albums.
    bool sortAlbum = true;
    bool ascending = true;

    // Makes `ordered` the order: the units, and their songs one after another.
    void setOrder(std::vector<UnitPtr> ordered);
    // The unit of the order the song at `index` belongs to, with the order indexes of its
    // first song and of the song after its last; nothing outside the order.
    struct UnitPlace {
        std::size_t unit;
        std::int64_t first, end;
    };
    std::optional<UnitPlace> unitAt(std::int64_t index) const;
    // Moves the unit holding the song at `index` to just after the unit being played (that of
    // `playingNum`), which keeps playing the same song. False when nothing moved: the index is
    // outside the order, or its unit is the one being played or already follows it.
    bool moveUnitAfterPlaying(std::int64_t index);

    // Reorders `albums` by album then artist sort key, or artist then album, in one direction.
    void sortAlbumsWithFirstAlbum(bool firstAlbum, bool ascendingOrder);
    // The unit number range: 100 per song.
    std::uint32_t unitRange() const;

    struct NowPlaying {
        std::string song, album, artist;
    };
    // The current song's texts; nothing when the order is empty or the position outside it.
    std::optional<NowPlaying> nowPlayingInfo() const;

    // The play order as a property list the music library application imports: its tracks,
    // each dictionary exactly as read, and one playlist named `name`.
    std::string xmlDataWithName(std::string_view exportName) const;

private:
    std::string persistentID_;
    std::string name_;
    bool folder_ = false;
    std::string parentPersistentID_;
    std::optional<std::size_t> folderIndex_;
    std::size_t depth_ = 0;
    std::vector<SongPtr> songs_;
    std::vector<AlbumPtr> albums_;
    double duration_ = 0;
    std::vector<std::string> topArtists_;
    FileCounts files_;
    // The order index of each unit's first song, in step with `units`.
    std::vector<std::int64_t> unitStarts_;
};

using PlaylistPtr = std::shared_ptr<MyPlaylist>;

// The playlist name an export to `path` carries: the file name without any ".xml" in it.
std::string exportNameOf(std::string_view path);

// Album artists' names ranked by a count, most first; ties by name, for stable reports.
std::vector<std::string> rankByCount(std::vector<std::pair<std::string, std::size_t>> tally);

} // namespace platter
