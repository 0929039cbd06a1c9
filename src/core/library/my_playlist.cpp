#include "core/library/my_playlist.h"

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
      songs_(std::move(songs)) {
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

std::uint32_t MyPlaylist::unitRange() const {
    return static_cast<std::uint32_t>(100 * songs_.size());
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
