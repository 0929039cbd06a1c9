// Building the model from the library file: songs, albums, artists, playlists, and the orders
// and positions stored by earlier runs.

#include "core/app/app_delegate.h"
#include "core/services/view_refresh.h"
#include "core/shuffle/shuffle.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>
#include <utility>

namespace platter {

namespace {

using plist::NodeRef;
using plist::Type;

bool flag(NodeRef dict, std::string_view key) {
    return dict.booleanFor(key).value_or(false);
}

std::optional<std::int64_t> decimal(std::string_view s) {
    std::int64_t n = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), n);
    if (s.empty() || r.ec != std::errc{} || r.ptr != s.data() + s.size()) return std::nullopt;
    return n;
}

bool allElementsAre(NodeRef container, Type type) {
    for (std::size_t i = 0; i < container.size(); ++i)
        if (!container.at(i).is(type)) return false;
    return true;
}

// "Playlist Items": an array of dictionaries whose every value is an integer.
bool validItems(NodeRef items) {
    if (!items.is(Type::Array) || items.size() == 0) return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto item = items.at(i);
        if (!item.is(Type::Dict) || !allElementsAre(item, Type::Integer)) return false;
    }
    return true;
}

} // namespace

bool AppDelegate::setAllTracks() {
    const auto library = readLibrary(musicLibraryUrl_);
    return library && buildModel(library);
}

bool AppDelegate::buildModel(const std::shared_ptr<const plist::Document>& library) {
    const auto root = library->root();
    const auto tracks = root.find("Tracks");
    if (!tracks.is(Type::Dict) || !allElementsAre(tracks, Type::Dict)) return false;
    settingVersion_ = 0;
    musicFolderUrl_ = std::string(root.stringFor("Music Folder").value_or(""));

    std::vector<SongPtr> songs;
    songs.reserve(tracks.size());
    FlatHashMap<std::int64_t, SongPtr> byTrackID;
    FlatHashMap<std::string_view, SongPtr> byPersistentID;
    byTrackID.reserve(tracks.size());
    byPersistentID.reserve(tracks.size());
    const TrackReader reader(*library);
    AlbumIDs albumIDs;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const auto track = tracks.at(i);
        const auto entries = reader.read(track);
        if (entries.flag(TrackKey::HasVideo) || entries.flag(TrackKey::MusicVideo) ||
            entries.flag(TrackKey::Podcast))
            continue;
        const auto totalTime = entries.integer(TrackKey::TotalTime);
        const auto name = entries.string(TrackKey::Name);
        const auto album = entries.string(TrackKey::Album);
        const auto trackID = decimal(tracks.keyAt(i));
        if (!totalTime || !name || !album || !trackID || !entries.string(TrackKey::PersistentID)) continue;
        auto song = std::make_shared<MySong>(*trackID, *name, *album, *totalTime, TrackDict{library, track},
                                             entries, services_.rules, &albumIDs);
        byTrackID[*trackID] = song;
        byPersistentID[song->persistentID()] = song;
        songs.push_back(std::move(song));
    }
    allSongs_ = std::move(songs);
    songsTrackIDDict_ = std::move(byTrackID);
    songsPersistentIDDict_ = std::move(byPersistentID);

    // Albums: the songs gathered by album ID in one pass, the groups then taken in ascending
    // album ID. The same albums as sorting every song by album ID, at a fraction of the cost.
    // Group numbers are stored plus one, so that zero means a new group.
    FlatHashMap<std::string_view, std::size_t> groupOf;
    groupOf.reserve(allSongs_.size() / 8 + 1);
    std::vector<std::vector<SongPtr>> groups;
    double total = 0;
    for (const auto& song : allSongs_) {
        auto& group = groupOf[song->albumID()];
        if (group == 0) {
            groups.emplace_back();
            group = groups.size();
        }
        groups[group - 1].push_back(song);
        total += song->duration();
    }
    std::vector<std::size_t> order(groups.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return groups[a].front()->albumID() < groups[b].front()->albumID();
    });
    AlbumGrouping grouping{albumDict_, albumSettings_, masterPersistentID_, services_.rules, reader, {}, {},
                           {}};
    grouping.albums.reserve(groups.size());
    grouping.albumDict.reserve(groups.size());
    for (const auto i : order) {
        const auto& first = *groups[i].front();
        groupAlbum(first.album(), first.albumArtist(), first.compilation(), std::move(groups[i]), grouping);
    }
    allAlbums_ = std::move(grouping.albums);
    albumDict_ = std::move(grouping.albumDict);
    allArtists_ = std::move(grouping.artists);

    auto byTitle = allAlbums_;
    std::sort(byTitle.begin(), byTitle.end(),
              [](const AlbumPtr& a, const AlbumPtr& b) { return a->sortAlbum() < b->sortAlbum(); });
    auto allSongsList =
        std::make_shared<MyPlaylist>(masterPersistentID_, allSongs_, std::move(byTitle), total);
    std::vector<std::pair<std::string, std::size_t>> tally;
    tally.reserve(allArtists_.size());
    for (const auto& [key, artist] : allArtists_)
        tally.emplace_back(artist->name(), artist->albumIds().size());
    allSongsList->setTopArtists(rankByCount(std::move(tally)));

    std::vector<PlaylistPtr> playlists{std::move(allSongsList)};
    const auto lists = root.find("Playlists");
    const auto trackIDKey = library->keyId("Track ID");
    // Playlists are known by their IDs: two with one ID (or none, and one name) would share
    // each other's songs and stored orders, and one named like the all-songs playlist would
    // take its discs. A repeated ID gets a stand-in by its place in the file, the same at every
    // start.
    std::unordered_set<std::string> ids{masterPersistentID_};
    const auto uniqueID = [&ids](std::string id) {
        if (ids.insert(id).second) return id;
        for (int n = 2;; ++n)
            if (auto numbered = id + " #" + std::to_string(n); ids.insert(numbered).second) return numbered;
    };
    if (lists.is(Type::Array) && allElementsAre(lists, Type::Dict)) {
        for (std::size_t i = 0; i < lists.size(); ++i) {
            const auto dict = lists.at(i);
            if (dict.booleanFor("Visible") == false) continue;
            const auto items = dict.find("Playlist Items");
            if (!validItems(items)) continue;
            if (flag(dict, "Music") || flag(dict, "Movies") || flag(dict, "TV Shows") ||
                flag(dict, "Podcasts") || flag(dict, "iTunesU"))
                continue;
            if (!dict.stringFor("Name")) continue;
            std::vector<SongPtr> members;
            members.reserve(items.size());
            for (std::size_t j = 0; j < items.size(); ++j) {
                const auto id = items.at(j).integerFor(trackIDKey);
                if (!id) continue;
                if (const auto* song = songsTrackIDDict_.find(*id)) members.push_back(*song);
            }
            if (members.empty()) continue;
            playlists.push_back(std::make_shared<MyPlaylist>(uniqueID(MyPlaylist::persistentIDOf(dict)), dict,
                                                             std::move(members), masterPersistentID_,
                                                             services_.rules));
        }
    }
    for (const auto& playlist : playlists)
        restoreStoredOrder(*playlist);
    allPlaylists_ = std::move(playlists);
    configuring_ = true;
    // The playlists are new objects, perhaps in another order: an old index could name another
    // playlist, or none, and the list shows no selection after it reloads. (The old playing
    // playlist's player went with it.)
    playlistNumber_.reset();
    playinglistNumber_.reset();
    queues_.clear();
    songFilesKnown_ = false;
    libraryFiles_ = {};
    findSongFiles();

    if (viewCont_) {
        viewCont_->refreshPlaylistView();
        viewCont_->refreshViewsWithTopViewMode(TopViewMode::NoSelection, 0, 0, 0.0, false, true);
    }
    return true;
}

void AppDelegate::restoreStoredOrder(MyPlaylist& playlist) {
    const auto& id = playlist.persistentID();
    // Its own file is newer than an imported order; read once, as later the order in memory is.
    if (orderFilesRead_.insert(id).second) {
        const auto file = services_.state.read(state_files::orderOf(id));
        if (file.status == StateStorage::ReadResult::Status::Found)
            if (auto order = decodeOrder(file.bytes, id, services_.plistReader))
                playlistDict_[id] = std::move(*order);
    }
    const auto stored = playlistDict_.find(id);
    if (stored == playlistDict_.end()) return;
    auto storedIDs = stored->second;
    std::vector<std::string_view> current;
    current.reserve(playlist.songs().size());
    for (const auto& s : playlist.songs())
        current.push_back(s->persistentID());
    std::sort(storedIDs.begin(), storedIDs.end());
    std::sort(current.begin(), current.end());
    if (!std::equal(storedIDs.begin(), storedIDs.end(), current.begin(), current.end())) {
        playlistDict_.erase(stored);
        stateWriter_->remove(state_files::orderOf(id));
        return;
    }
    std::vector<SongPtr> order;
    order.reserve(stored->second.size());
    for (const auto& songID : stored->second)
        order.push_back(songsPersistentIDDict_.at(songID));
    buildUnits(playlist, playlist.unitRange(), services_.random);
    playlist.shuffledSongs = std::move(order);
    playlist.shuffleVersion = 0;
    // A position outside the order would index past its end; the order then starts afresh.
    if (const auto n = playingNumDict_.find(playlist.persistentID());
        n != playingNumDict_.end() && n->second >= 0 &&
        n->second < static_cast<std::int64_t>(playlist.shuffledSongs.size())) {
        playlist.playingNum = n->second;
    }
}

} // namespace platter
