#pragma once

#include "core/model/album_setting.h"
#include "core/model/my_disc.h"
#include "core/model/my_song.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platter {

// The songs sharing one album ID, split into discs.
class MyAlbum {
public:
    // `initWithAlbumName:sortAlbum:artist:sortArtist:compilation:songs:masterPersistentID:`
    MyAlbum(std::string_view albumName, std::string_view sortAlbum, std::string_view artist,
            std::string_view sortArtist, bool compilation, std::vector<SongPtr> songs,
            std::string_view masterPersistentID);
    MyAlbum(const MyAlbum&) = delete;
    MyAlbum& operator=(const MyAlbum&) = delete;

    const std::string& albumName() const { return albumName_; }
    const std::string& sortAlbum() const { return sortAlbum_; }
    const std::string& artist() const { return artist_; }
    const std::string& sortArtist() const { return sortArtist_; }
    const std::string& albumID() const { return albumID_; }

    bool compilation() const { return compilation_; }
    void setCompilation(bool c) { compilation_ = c; }
    // The distinct disc numbers of the songs, ascending.
    const std::vector<std::int64_t>& discNum() const { return discNum_; }
    const std::vector<SongPtr>& songs() const { return songs_; }
    void setSongs(std::vector<SongPtr> songs) { songs_ = std::move(songs); }
    AlbumSetting& setting() { return setting_; }
    const AlbumSetting& setting() const { return setting_; }
    AlbumSetting& oldSetting() { return oldSetting_; }
    const AlbumSetting& oldSetting() const { return oldSetting_; }
    // Disc lists by playlist persistent ID; the master persistent ID holds every song.
    std::unordered_map<std::string, DiscList>& discsForPlaylists() { return discsForPlaylists_; }
    const std::unordered_map<std::string, DiscList>& discsForPlaylists() const { return discsForPlaylists_; }

    // Recomputes `discNum` and the master disc list from `songs`, dropping every playlist's
    // disc list.
    void rebuildDiscs(std::string_view masterPersistentID);
    // Keeps a split-into-discs setting to exactly the album's disc numbers, new discs whole; an
    // album down to one disc is no longer split into discs.
    void fitSettingToDiscs();

private:
    std::string albumName_;
    std::string sortAlbum_;
    std::string artist_;
    std::string sortArtist_;
    std::string albumID_;
    bool compilation_;
    std::vector<std::int64_t> discNum_;
    std::vector<SongPtr> songs_;
    AlbumSetting setting_;
    AlbumSetting oldSetting_;
    std::unordered_map<std::string, DiscList> discsForPlaylists_;
};

using AlbumPtr = std::shared_ptr<MyAlbum>;
// Album ID to that album's setting, for albums not played whole.
using AlbumSettings = std::map<std::string, AlbumSetting>;

// The earliest and latest year the songs give; nothing when none gives one.
struct YearSpan {
    std::int64_t first, last;
};
std::optional<YearSpan> yearsOf(const std::vector<SongPtr>& songs);
// The songs' lengths together, in seconds.
double lengthOf(const std::vector<SongPtr>& songs);

// Songs ordered by track number; songs with equal numbers in no particular order.
void sortByTrackNumber(std::vector<SongPtr>& songs);

} // namespace platter
