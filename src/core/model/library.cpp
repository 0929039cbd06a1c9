#include "core/model/library.h"

#include "core/model/track_entries.h"

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

LibraryProblem libraryProblemOf(const plist::Document& library) {
    using Kind = LibraryProblem::Kind;
    const auto root = library.root();
    if (!root.is(plist::Type::Dict)) return {Kind::NoDictionary, {}};
    if (root.size() == 0) return {Kind::Empty, {}};
    const auto tracks = root.find("Tracks");
    if (!tracks.is(plist::Type::Dict)) return {Kind::NoTracks, {}};
    for (std::size_t i = 0; i < tracks.size(); ++i)
        if (!tracks.at(i).is(plist::Type::Dict)) return {Kind::TrackNotDictionary, std::string(tracks.keyAt(i))};
    return {};
}

std::string libraryProblem(const plist::Document& library) {
    const auto problem = libraryProblemOf(library);
    switch (problem.kind) {
    case LibraryProblem::Kind::None:
        return {};
    case LibraryProblem::Kind::NoDictionary:
        return "It holds no dictionary at its top.";
    case LibraryProblem::Kind::Empty:
        return "It is empty.";
    case LibraryProblem::Kind::NoTracks:
        return "It has no \u201cTracks\u201d dictionary.";
    case LibraryProblem::Kind::TrackNotDictionary:
        return "Its track \u201c" + problem.track + "\u201d is no dictionary.";
    }
    return {};
}

std::optional<Library> buildLibrary(std::shared_ptr<const plist::Document> document, const AlbumSettings& settings,
                                    const StringRules& rules, const AlbumDict& previousAlbums) {
    if (libraryProblemOf(*document)) return std::nullopt;
    const auto& library = document;
    const auto root = library->root();
    const auto tracks = root.find("Tracks");
    Library built;
    built.document = document;
    built.musicFolderUrl = std::string(root.stringFor("Music Folder").value_or(""));

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
                                             entries, rules, &albumIDs);
        byTrackID[*trackID] = song;
        byPersistentID[song->persistentID()] = song;
        songs.push_back(std::move(song));
    }
    built.songs = std::move(songs);
    built.songsByTrackID = std::move(byTrackID);
    built.songsByPersistentID = std::move(byPersistentID);

    // Albums: the songs gathered by album ID in one pass, the groups then taken in ascending
    // album ID. The same albums as sorting every song by album ID, at a fraction of the cost.
    // Group numbers are stored plus one, so that zero means a new group.
    FlatHashMap<std::string_view, std::size_t> groupOf;
    groupOf.reserve(built.songs.size() / 8 + 1);
    std::vector<std::vector<SongPtr>> groups;
    double total = 0;
    for (const auto& song : built.songs) {
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
    AlbumGrouping grouping{previousAlbums, settings, Library::masterPersistentID, rules, reader, {}, {},
                           {}};
    grouping.albums.reserve(groups.size());
    grouping.albumDict.reserve(groups.size());
    for (const auto i : order) {
        const auto& first = *groups[i].front();
        groupAlbum(first.album(), first.albumArtist(), first.compilation(), std::move(groups[i]), grouping);
    }
    built.albums = std::move(grouping.albums);
    built.albumDict = std::move(grouping.albumDict);
    built.artists = std::move(grouping.artists);

    auto byTitle = built.albums;
    std::sort(byTitle.begin(), byTitle.end(),
              [](const AlbumPtr& a, const AlbumPtr& b) { return a->sortAlbum() < b->sortAlbum(); });
    auto allSongsList =
        std::make_shared<MyPlaylist>(Library::masterPersistentID, built.songs, std::move(byTitle), total);
    std::vector<std::pair<std::string, std::size_t>> tally;
    tally.reserve(built.artists.size());
    for (const auto& [key, artist] : built.artists)
        tally.emplace_back(artist->name(), artist->albumIds().size());
    allSongsList->setTopArtists(rankByCount(std::move(tally)));

    std::vector<PlaylistPtr> playlists{std::move(allSongsList)};
    const auto lists = root.find("Playlists");
    const auto trackIDKey = library->keyId("Track ID");
    // Playlists are known by their IDs: two with one ID (or none, and one name) would share
    // each other's songs and stored orders, and one named like the all-songs playlist would
    // take its discs. A repeated ID gets a stand-in by its place in the file, the same at every
    // start.
    std::unordered_set<std::string> ids{std::string(Library::masterPersistentID)};
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
                if (const auto* song = built.songsByTrackID.find(*id)) members.push_back(*song);
            }
            if (members.empty()) continue;
            playlists.push_back(std::make_shared<MyPlaylist>(uniqueID(MyPlaylist::persistentIDOf(dict)), dict,
                                                             std::move(members), Library::masterPersistentID,
                                                             rules));
        }
    }
    built.playlists = std::move(playlists);
    return built;
}

} // namespace platter
