#include "core/model/library.h"

#include "core/model/added_tracks.h"
#include "core/model/track_entries.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>
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

// A playlist of the file that passed the checks, while the folders are worked out.
struct Listed {
    NodeRef dict;
    std::string id;
    std::vector<SongPtr> members;
    bool folder = false;
    // Indexes into the list of them all.
    std::optional<std::size_t> parent;
    std::vector<std::size_t> children;
    bool kept = false;
    PlaylistPtr playlist;
};

// Puts each playlist in the folder its "Parent Persistent ID" names, or at the top level when
// that is no folder of the list or would make a folder its own ancestor; then returns the
// playlists in tree pre-order, each folder's in file order. Iterative: a file may nest deeply.
std::vector<std::size_t> arrangeInFolders(std::vector<Listed>& listed) {
    std::unordered_map<std::string_view, std::size_t> byID;
    for (std::size_t i = 0; i < listed.size(); ++i)
        byID.try_emplace(listed[i].id, i);
    for (auto& entry : listed)
        if (const auto parentID = entry.dict.stringFor("Parent Persistent ID"))
            if (const auto found = byID.find(*parentID); found != byID.end() && listed[found->second].folder)
                entry.parent = found->second;

    // A cycle is cut at its playlist that comes first in the file, the same at every start.
    enum class Walk : std::uint8_t { NotYet, OnPath, Done };
    std::vector<Walk> walk(listed.size(), Walk::NotYet);
    std::vector<std::size_t> path;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        path.clear();
        auto at = std::optional(i);
        while (at && walk[*at] == Walk::NotYet) {
            walk[*at] = Walk::OnPath;
            path.push_back(*at);
            at = listed[*at].parent;
        }
        if (at && walk[*at] == Walk::OnPath)
            listed[*std::min_element(std::find(path.begin(), path.end(), *at), path.end())].parent.reset();
        for (const auto p : path)
            walk[p] = Walk::Done;
    }

    std::vector<std::size_t> stack;
    for (std::size_t i = listed.size(); i-- > 0;) {
        if (const auto parent = listed[i].parent)
            listed[*parent].children.push_back(i);
        else
            stack.push_back(i);
    }
    for (auto& entry : listed)
        std::reverse(entry.children.begin(), entry.children.end());
    std::vector<std::size_t> order;
    order.reserve(listed.size());
    while (!stack.empty()) {
        const auto i = stack.back();
        stack.pop_back();
        order.push_back(i);
        stack.insert(stack.end(), listed[i].children.rbegin(), listed[i].children.rend());
    }
    return order;
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
                                    const StringRules& rules, const AlbumDict& previousAlbums,
                                    std::shared_ptr<const plist::Document> added) {
    if (libraryProblemOf(*document)) return std::nullopt;
    const auto& library = document;
    const auto root = library->root();
    const auto tracks = root.find("Tracks");
    Library built;
    built.document = document;
    built.musicFolderUrl = std::string(root.stringFor("Music Folder").value_or(""));

    const auto addedTracks = added ? added->root().find("Tracks") : plist::NodeRef();
    const auto addedCount = addedTracks.is(Type::Dict) ? addedTracks.size() : 0;
    std::vector<SongPtr> songs;
    songs.reserve(tracks.size() + addedCount);
    FlatHashMap<std::int64_t, SongPtr> byTrackID;
    FlatHashMap<std::string_view, SongPtr> byPersistentID;
    byTrackID.reserve(tracks.size() + addedCount);
    byPersistentID.reserve(tracks.size() + addedCount);
    const TrackReader reader(*library);
    const std::optional<TrackReader> addedReader = added ? std::optional<TrackReader>(*added) : std::nullopt;
    AlbumIDs albumIDs;
    const auto takeTracks = [&](const std::shared_ptr<const plist::Document>& from, plist::NodeRef list,
                                const TrackReader& read) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto track = list.at(i);
            if (!track.is(Type::Dict)) continue;
            const auto entries = read.read(track);
            if (entries.flag(TrackKey::HasVideo) || entries.flag(TrackKey::MusicVideo) ||
                entries.flag(TrackKey::Podcast))
                continue;
            const auto totalTime = entries.integer(TrackKey::TotalTime);
            const auto name = entries.string(TrackKey::Name);
            const auto album = entries.string(TrackKey::Album);
            const auto trackID = decimal(list.keyAt(i));
            if (!totalTime || !name || !album || !trackID || !entries.string(TrackKey::PersistentID)) continue;
            // A song of this computer never takes the place of one of the file.
            if (from != library && (byTrackID.find(*trackID) || byPersistentID.find(*entries.string(TrackKey::PersistentID))))
                continue;
            auto song = std::make_shared<MySong>(*trackID, *name, *album, *totalTime, TrackDict{from, track},
                                                 entries, rules, &albumIDs);
            byTrackID[*trackID] = song;
            byPersistentID[song->persistentID()] = song;
            songs.push_back(std::move(song));
        }
    };
    takeTracks(library, tracks, reader);
    if (addedReader) takeTracks(added, addedTracks, *addedReader);
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
    AlbumGrouping grouping{previousAlbums, settings, Library::masterPersistentID, rules, reader,
                           addedReader ? &*addedReader : nullptr, added.get(), {}, {}, {}};
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
    // The songs added here follow All Songs: they are what the library file does not know.
    if (const auto addedLists = added ? added->root().find("Playlists") : plist::NodeRef();
        addedLists.is(Type::Array) && addedLists.size() == 1) {
        const auto dict = addedLists.at(0);
        std::vector<SongPtr> members;
        const auto items = dict.find("Playlist Items");
        for (std::size_t j = 0; j < items.size(); ++j)
            if (const auto id = items.at(j).integerFor("Track ID"))
                if (const auto* song = built.songsByTrackID.find(*id);
                    song && (*song)->dict().document == added)
                    members.push_back(*song);
        if (!members.empty())
            playlists.push_back(std::make_shared<MyPlaylist>(std::string(addedPersistentID), dict, std::move(members),
                                                             Library::masterPersistentID, rules));
    }
    const auto lists = root.find("Playlists");
    const auto trackIDKey = library->keyId("Track ID");
    std::vector<Listed> listed;
    if (lists.is(Type::Array) && allElementsAre(lists, Type::Dict)) {
        for (std::size_t i = 0; i < lists.size(); ++i) {
            const auto dict = lists.at(i);
            if (dict.booleanFor("Visible") == false) continue;
            if (flag(dict, "Music") || flag(dict, "Movies") || flag(dict, "TV Shows") ||
                flag(dict, "Podcasts") || flag(dict, "iTunesU"))
                continue;
            if (!dict.stringFor("Name")) continue;
            // A folder may list no songs of its own: it holds those of its playlists.
            const bool folder = flag(dict, "Folder");
            const auto items = dict.find("Playlist Items");
            const bool hasItems = validItems(items);
            if (!hasItems && !folder) continue;
            std::vector<SongPtr> members;
            if (hasItems) {
                members.reserve(items.size());
                for (std::size_t j = 0; j < items.size(); ++j) {
                    const auto id = items.at(j).integerFor(trackIDKey);
                    if (!id) continue;
                    if (const auto* song = built.songsByTrackID.find(*id)) members.push_back(*song);
                }
            }
            if (members.empty() && !folder) continue;
            listed.push_back(
                {dict, MyPlaylist::persistentIDOf(dict), std::move(members), folder, {}, {}, false, {}});
        }
    }
    const auto tree = arrangeInFolders(listed);

    // Only playlists with songs are kept, and a folder has songs when one of its playlists has.
    for (auto at = tree.rbegin(); at != tree.rend(); ++at) {
        auto& entry = listed[*at];
        entry.kept = !entry.members.empty() || std::any_of(entry.children.begin(), entry.children.end(),
                                                           [&](std::size_t c) { return listed[c].kept; });
    }
    // Playlists are known by their IDs: two with one ID (or none, and one name) would share
    // each other's songs and stored orders, and one named like the all-songs playlist would
    // take its discs. A repeated ID gets a stand-in by its place in the file, the same at every
    // start.
    std::unordered_set<std::string> ids{std::string(Library::masterPersistentID), std::string(addedPersistentID)};
    const auto uniqueID = [&ids](std::string id) {
        if (ids.insert(id).second) return id;
        for (int n = 2;; ++n)
            if (auto numbered = id + " #" + std::to_string(n); ids.insert(numbered).second) return numbered;
    };
    for (auto& entry : listed)
        if (entry.kept) entry.id = uniqueID(std::move(entry.id));
    // A folder without songs of its own takes its playlists' in their order, built first.
    for (auto at = tree.rbegin(); at != tree.rend(); ++at) {
        auto& entry = listed[*at];
        if (!entry.kept) continue;
        if (entry.members.empty())
            for (const auto child : entry.children)
                if (const auto& inner = listed[child].playlist)
                    entry.members.insert(entry.members.end(), inner->songs().begin(), inner->songs().end());
        entry.playlist = std::make_shared<MyPlaylist>(
            std::move(entry.id), entry.dict, std::move(entry.members), Library::masterPersistentID, rules);
    }
    std::vector<std::size_t> placeOf(listed.size());
    for (const auto i : tree) {
        auto& entry = listed[i];
        if (!entry.kept) continue;
        const auto folder = entry.parent ? std::optional(placeOf[*entry.parent]) : std::nullopt;
        entry.playlist->placeIn(folder, folder ? playlists[*folder]->depth() + 1 : 0);
        placeOf[i] = playlists.size();
        playlists.push_back(std::move(entry.playlist));
    }
    built.playlists = std::move(playlists);
    return built;
}

} // namespace platter
