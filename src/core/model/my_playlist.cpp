#include "core/model/my_playlist.h"

#include "core/plist/xml_writer.h"
#include "core/text/string_rules.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace platter {

MyPlaylist::MyPlaylist(std::string_view persistentID, std::vector<SongPtr> songs,
                       std::vector<AlbumPtr> albums, double duration)
    : persistentID_(persistentID), name_(allSongsName), songs_(std::move(songs)), albums_(std::move(albums)),
      duration_(duration) {}

std::string MyPlaylist::persistentIDOf(plist::NodeRef dict) {
    if (const auto id = dict.stringFor("Playlist Persistent ID")) return std::string(*id);
    // Exported playlists, ours among them, carry none: the importing application gives them
    // theirs. Such a playlist is known by its number, or failing that by its name.
    if (const auto number = dict.integerFor("Playlist ID")) return "Playlist ID " + std::to_string(*number);
    return "Playlist named " + std::string(dict.stringFor("Name").value_or(""));
}

MyPlaylist::MyPlaylist(std::string persistentID, plist::NodeRef dict, std::vector<SongPtr> songs,
                       std::string_view masterPersistentID, const StringRules& rules)
    : persistentID_(std::move(persistentID)), name_(dict.stringFor("Name").value_or("")),
      folder_(dict.booleanFor("Folder").value_or(false)),
      parentPersistentID_(dict.stringFor("Parent Persistent ID").value_or("")), songs_(std::move(songs)) {
    // A playlist lists a song as often as the user added it; its albums hold the song once, so
    // its order does too, and so must what it counts and stores.
    std::unordered_set<const MySong*> members;
    members.reserve(songs_.size());
    songs_.erase(std::remove_if(songs_.begin(), songs_.end(),
                                [&](const SongPtr& s) { return !members.insert(s.get()).second; }),
                 songs_.end());
    std::unordered_set<const MyAlbum*> seen;
    for (const auto& song : songs_) {
        auto album = song->myAlbum();
        if (seen.insert(album.get()).second) albums_.push_back(std::move(album));
        duration_ += song->duration();
    }
    std::sort(albums_.begin(), albums_.end(),
              [](const AlbumPtr& a, const AlbumPtr& b) { return a->sortAlbum() < b->sortAlbum(); });

    // Tallied under the composed name, so equivalent spellings count as one artist.
    std::unordered_map<std::string, std::size_t> slot;
    std::vector<std::pair<std::string, std::size_t>> tally;
    for (const auto& album : albums_) {
        const auto [it, fresh] = slot.try_emplace(rules.key(album->artist()), tally.size());
        if (fresh) tally.emplace_back(album->artist(), 0);
        ++tally[it->second].second;

        const auto master = album->discsForPlaylists().find(std::string(masterPersistentID));
        if (master == album->discsForPlaylists().end()) continue;
        DiscList discs;
        discs.reserve(master->second.size());
        for (const auto& disc : master->second) {
            std::vector<SongPtr> mine;
            for (const auto& s : disc->songs())
                if (members.contains(s.get())) mine.push_back(s);
            discs.push_back(std::make_shared<MyDisc>(disc->discNumber(), std::move(mine)));
        }
        album->discsForPlaylists()[persistentID_] = std::move(discs);
    }
    topArtists_ = rankByCount(std::move(tally));
}

void MyPlaylist::placeIn(std::optional<std::size_t> folder, std::size_t depth) {
    folderIndex_ = folder;
    depth_ = depth;
}

std::uint32_t MyPlaylist::unitRange() const {
    return static_cast<std::uint32_t>(100 * songs_.size());
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

void MyPlaylist::setOrder(std::vector<UnitPtr> ordered) {
    units = std::move(ordered);
    shuffledSongs.clear();
    shuffledSongs.reserve(songs_.size());
    unitStarts_.clear();
    unitStarts_.reserve(units.size());
    for (const auto& unit : units) {
        unitStarts_.push_back(static_cast<std::int64_t>(shuffledSongs.size()));
        shuffledSongs.insert(shuffledSongs.end(), unit->songs().begin(), unit->songs().end());
    }
}

std::optional<MyPlaylist::UnitPlace> MyPlaylist::unitAt(std::int64_t index) const {
    // An order set past `setOrder` has no units to tell.
    if (unitStarts_.size() != units.size() || index < 0 ||
        index >= static_cast<std::int64_t>(shuffledSongs.size()))
        return std::nullopt;
    const auto after = std::upper_bound(unitStarts_.begin(), unitStarts_.end(), index);
    const auto unit = static_cast<std::size_t>(after - unitStarts_.begin()) - 1;
    return UnitPlace{unit, unitStarts_[unit],
                     after == unitStarts_.end() ? static_cast<std::int64_t>(shuffledSongs.size()) : *after};
}

bool MyPlaylist::moveUnitAfterPlaying(std::int64_t index) {
    const auto moved = unitAt(index);
    const auto playing = unitAt(playingNum);
    if (!moved || !playing || moved->unit == playing->unit || moved->unit == playing->unit + 1) return false;
    auto ordered = units;
    auto unit = std::move(ordered[moved->unit]);
    ordered.erase(ordered.begin() + static_cast<std::ptrdiff_t>(moved->unit));
    const bool fromBefore = moved->unit < playing->unit;
    // Taken from before the playing unit, it leaves that unit one place, and its song as many
    // places as it has songs, earlier.
    const auto at = playing->unit + (fromBefore ? 0 : 1);
    ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(at), std::move(unit));
    if (fromBefore) playingNum -= moved->end - moved->first;
    setOrder(std::move(ordered));
    return true;
}

std::optional<MyPlaylist::NowPlaying> MyPlaylist::nowPlayingInfo() const {
    if (playingNum < 0 || static_cast<std::size_t>(playingNum) >= shuffledSongs.size()) return std::nullopt;
    const auto& song = *shuffledSongs[static_cast<std::size_t>(playingNum)];
    return NowPlaying{std::string(song.name()), std::string(song.album()), std::string(song.artist())};
}

std::string MyPlaylist::xmlDataWithName(std::string_view exportName) const {
    plist::Dict tracks;
    plist::Array items;
    tracks.reserve(shuffledSongs.size());
    items.reserve(shuffledSongs.size());
    std::unordered_set<std::int64_t> written;
    for (const auto& song : shuffledSongs) {
        // The track dictionary goes out as the very subtree that was read: every key, type and
        // value, in the library's order.
        if (written.insert(song->trackID()).second)
            tracks.emplace_back(std::to_string(song->trackID()), song->dict().node);
        items.push_back(plist::Dict{{"Track ID", song->trackID()}});
    }
    plist::Dict playlist{{"Name", std::string(exportName)}, {"Playlist Items", std::move(items)}};
    plist::Dict root{{"Tracks", std::move(tracks)}, {"Playlists", plist::Array{std::move(playlist)}}};
    return plist::writeXml(root);
}

std::string exportNameOf(std::string_view path) {
    auto name = std::string(path.substr(path.find_last_of('/') + 1));
    for (auto at = name.find(".xml"); at != std::string::npos; at = name.find(".xml"))
        name.erase(at, 4);
    return name;
}

std::vector<std::string> rankByCount(std::vector<std::pair<std::string, std::size_t>> tally) {
    std::sort(tally.begin(), tally.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::vector<std::string> names;
    names.reserve(tally.size());
    for (auto& [name, count] : tally)
        names.push_back(std::move(name));
    return names;
}

} // namespace platter
