#include "tools/inspect/library_report.h"

#include "core/model/added_tracks.h"
#include "core/model/song_stats.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace platter {

namespace {

constexpr std::size_t maxExamples = 20;

nlohmann::ordered_json countsOf(const FileCounts& counts) {
    return {{"found", counts.found}, {"notFound", counts.notFound}, {"noFile", counts.noFile}};
}

nlohmann::ordered_json dateOf(const std::optional<std::int64_t>& seconds) {
    if (!seconds) return nullptr;
    const auto t = static_cast<std::time_t>(*seconds);
    std::tm utc{};
    char text[32];
    if (!::gmtime_r(&t, &utc) || !std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc)) return *seconds;
    return text;
}

nlohmann::ordered_json ratingOf(const std::optional<int>& rating) {
    return rating ? nlohmann::ordered_json(*rating) : nlohmann::ordered_json(nullptr);
}

} // namespace

nlohmann::ordered_json statisticsReport(const MyPlaylist& playlist,
                                        const std::unordered_map<std::string, SongStats>& counted) {
    nlohmann::ordered_json report;
    report["persistentID"] = playlist.persistentID();
    report["name"] = playlist.name();
    std::int64_t plays = 0, skips = 0;
    auto& songs = report["songs"] = nlohmann::ordered_json::array();
    for (const auto& song : playlist.songs()) {
        const auto here = counted.find(std::string(song->persistentID()));
        const auto shown = combined(fileStatsOf(*song), here == counted.end() ? SongStats{} : here->second).stats;
        plays += shown.plays;
        skips += shown.skips;
        songs.push_back({{"persistentID", song->persistentID()},
                         {"name", song->name()},
                         {"artist", song->artist()},
                         {"album", song->album()},
                         {"plays", shown.plays},
                         {"lastPlayed", dateOf(shown.lastPlayed)},
                         {"skips", shown.skips},
                         {"lastSkipped", dateOf(shown.lastSkipped)},
                         {"rating", ratingOf(shown.rating)},
                         {"albumRating", ratingOf(shown.albumRating)},
                         {"loved", shown.loved},
                         {"countedHere", here != counted.end()}});
    }
    report["plays"] = plays;
    report["skips"] = skips;
    return report;
}

nlohmann::ordered_json addedSongsReport(const std::vector<AddedSong>& songs) {
    auto report = nlohmann::ordered_json::array();
    for (const auto& song : songs) {
        nlohmann::ordered_json entry{{"persistentID", song.persistentID}, {"path", song.path}};
        if (const auto tags = tagsFromJson(song.tags)) {
            entry["name"] = tags->title;
            entry["artist"] = tags->artist;
            entry["album"] = tags->album;
        }
        if (isGone(song)) entry["gone"] = true;
        report.push_back(std::move(entry));
    }
    return report;
}

nlohmann::ordered_json libraryReport(const Library& library, const std::optional<FileCounts>& files) {
    nlohmann::ordered_json report;
    report["songs"] = library.songs.size();
    report["albums"] = library.albums.size();
    report["artists"] = library.artists.size();
    report["songsWithoutLocation"] =
        std::count_if(library.songs.begin(), library.songs.end(), [](const SongPtr& s) { return !s->url(); });
    if (files) {
        auto& entry = report["files"] = countsOf(*files);
        auto& examples = entry["examples"] = nlohmann::ordered_json::array();
        for (const auto& song : library.songs) {
            if (examples.size() == maxExamples) break;
            if (song->fileStatus() == SongFile::Status::NotFound)
                examples.push_back({{"location", std::string(song->url().value_or(""))},
                                    {"lookedFor", std::string(song->filePath())}});
        }
    }
    auto& playlists = report["playlists"] = nlohmann::ordered_json::array();
    for (const auto& p : library.playlists) {
        nlohmann::ordered_json entry;
        entry["persistentID"] = p->persistentID();
        entry["name"] = p->name();
        if (p->isFolder()) entry["isFolder"] = true;
        // The folders it is inside, outermost first.
        if (p->folderIndex()) {
            std::vector<std::string> path;
            for (auto folder = p->folderIndex(); folder; folder = library.playlists[*folder]->folderIndex())
                path.insert(path.begin(), library.playlists[*folder]->name());
            entry["folder"] = path;
        }
        entry["songs"] = p->songs().size();
        entry["albums"] = p->albums().size();
        // Milliseconds are exact in the file; seconds to three places keep them exact here.
        entry["duration"] = std::round(p->duration() * 1000.0) / 1000.0;
        entry["topArtists"] = p->topArtists();
        if (files) entry["files"] = countsOf(p->files());
        playlists.push_back(std::move(entry));
    }
    return report;
}

} // namespace platter
