#include "tools/inspect/library_report.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace platter {

namespace {

constexpr std::size_t maxExamples = 20;

nlohmann::ordered_json countsOf(const FileCounts& counts) {
    return {{"found", counts.found}, {"notFound", counts.notFound}, {"noFile", counts.noFile}};
}

} // namespace

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
