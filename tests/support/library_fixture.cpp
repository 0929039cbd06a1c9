#include "support/library_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platter::testing {

std::string persistentIDOf(std::int64_t trackID) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(trackID));
    return buf;
}

plist::Dict trackDict(const Track& t) {
    plist::Dict d;
    plist::set(d, "Track ID", t.id);
    for (const auto& [k, v] : t.extra)
        plist::set(d, k, v);
    if (!plist::find(d, "Name")) plist::set(d, "Name", t.name);
    if (t.artist) plist::set(d, "Artist", *t.artist);
    if (t.albumArtist) plist::set(d, "Album Artist", *t.albumArtist);
    if (!plist::find(d, "Album")) plist::set(d, "Album", t.album);
    if (t.disc) plist::set(d, "Disc Number", *t.disc);
    if (t.number) plist::set(d, "Track Number", *t.number);
    if (!plist::find(d, "Total Time")) plist::set(d, "Total Time", t.totalTime);
    if (!plist::find(d, "Persistent ID")) plist::set(d, "Persistent ID", persistentIDOf(t.id));
    plist::set(d, "Location", "file:///music/" + std::to_string(t.id) + ".mp3");
    return d;
}

plist::Value libraryValue(const std::vector<Track>& tracks, const std::vector<Playlist>& playlists) {
    plist::Dict root;
    plist::set(root, "Major Version", 1);
    plist::set(root, "Music Folder", "file:///music/");
    plist::Dict trackList;
    for (const auto& t : tracks)
        trackList.emplace_back(std::to_string(t.id), trackDict(t));
    plist::set(root, "Tracks", std::move(trackList));
    plist::Array lists;
    for (const auto& p : playlists) {
        plist::Dict d;
        plist::set(d, "Name", p.name);
        plist::set(d, "Playlist Persistent ID", p.persistentID);
        for (const auto& [k, v] : p.extra)
            plist::set(d, k, v);
        if (!plist::find(d, "Playlist Items")) {
            plist::Array items;
            for (const auto id : p.trackIDs)
                items.push_back(plist::Dict{{"Track ID", id}});
            plist::set(d, "Playlist Items", std::move(items));
        }
        lists.push_back(std::move(d));
    }
    plist::set(root, "Playlists", std::move(lists));
    return root;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "platter-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path TempDir::write(const std::string& name, std::string_view contents) const {
    const auto p = path_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << contents;
    return p;
}

} // namespace platter::testing
