#include "core/model/added_tracks.h"

#include "core/model/file_url.h"

#include <nlohmann/json.hpp>

namespace platter {

std::string tagsToJson(const AudioTags& t) {
    nlohmann::json j = {{"title", t.title}, {"album", t.album}, {"artist", t.artist},
                        {"albumArtist", t.albumArtist}, {"genre", t.genre}, {"compilation", t.compilation},
                        {"disc", t.disc}, {"discCount", t.discCount}, {"track", t.track},
                        {"trackCount", t.trackCount}, {"year", t.year}, {"lengthMs", t.lengthMs}};
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<AudioTags> tagsFromJson(std::string_view json) {
    const auto j = nlohmann::json::parse(json, nullptr, false);
    if (!j.is_object()) return std::nullopt;
    AudioTags t;
    const auto text = [&](const char* key, std::string& into) {
        if (const auto it = j.find(key); it != j.end() && it->is_string()) into = it->get<std::string>();
    };
    const auto number = [&](const char* key, auto& into) {
        if (const auto it = j.find(key); it != j.end() && it->is_number_integer())
            into = it->get<std::remove_reference_t<decltype(into)>>();
    };
    text("title", t.title);
    text("album", t.album);
    text("artist", t.artist);
    text("albumArtist", t.albumArtist);
    text("genre", t.genre);
    if (const auto it = j.find("compilation"); it != j.end() && it->is_boolean()) t.compilation = it->get<bool>();
    number("disc", t.disc);
    number("discCount", t.discCount);
    number("track", t.track);
    number("trackCount", t.trackCount);
    number("year", t.year);
    number("lengthMs", t.lengthMs);
    return t;
}

namespace {

std::string stemOf(const std::string& path) {
    auto name = path.substr(path.rfind('/') + 1);
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void text(plist::DocumentBuilder& b, std::string_view key, const std::string& value) {
    if (value.empty()) return;
    b.key(key);
    b.string(value);
}

void number(plist::DocumentBuilder& b, std::string_view key, std::int64_t value) {
    if (value <= 0) return;
    b.key(key);
    b.integer(value);
}

} // namespace

std::shared_ptr<const plist::Document> addedTracksDocument(const std::vector<AddedSong>& songs) {
    plist::DocumentBuilder b;
    b.beginDict();
    b.key("Tracks");
    b.beginDict();
    std::vector<std::int64_t> ids;
    for (const auto& song : songs) {
        if (isGone(song)) continue;
        const auto tags = tagsFromJson(song.tags);
        if (!tags) continue;
        const auto id = firstAddedTrackID + static_cast<std::int64_t>(ids.size());
        ids.push_back(id);
        b.key(std::to_string(id));
        b.beginDict();
        b.key("Track ID");
        b.integer(id);
        // The song is known by its name, which a file without tags has in its file name.
        b.key("Name");
        b.string(tags->title.empty() ? stemOf(song.path) : tags->title);
        text(b, "Artist", tags->artist);
        text(b, "Album Artist", tags->albumArtist);
        b.key("Album");
        b.string(tags->album);
        text(b, "Genre", tags->genre);
        number(b, "Size", song.size);
        b.key("Total Time");
        b.integer(std::max<std::int64_t>(tags->lengthMs, 0));
        number(b, "Disc Number", tags->disc);
        number(b, "Disc Count", tags->discCount);
        number(b, "Track Number", tags->track);
        number(b, "Track Count", tags->trackCount);
        number(b, "Year", tags->year);
        if (tags->compilation) {
            b.key("Compilation");
            b.boolean(true);
        }
        b.key("Persistent ID");
        b.string(song.persistentID);
        b.key("Track Type");
        b.string("File");
        b.key("Location");
        b.string(fileUrlFromPath(song.path));
        b.end();
    }
    b.end();
    if (ids.empty()) return nullptr;
    b.key("Playlists");
    b.beginArray();
    b.beginDict();
    b.key("Name");
    b.string(addedPlaylistName);
    b.key("Playlist Persistent ID");
    b.string(addedPersistentID);
    b.key("Playlist Items");
    b.beginArray();
    for (const auto id : ids) {
        b.beginDict();
        b.key("Track ID");
        b.integer(id);
        b.end();
    }
    b.end();
    b.end();
    b.end();
    b.end();
    return b.finish();
}

} // namespace platter
