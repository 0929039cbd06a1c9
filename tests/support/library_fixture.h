#pragma once

// Library files for tests, composed as property-list values and written in the real layout.

#include "core/plist/value.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace platter::testing {

struct Track {
    std::int64_t id;
    std::string name;
    std::string album;
    std::optional<std::string> artist = "Artist";
    std::optional<std::string> albumArtist;
    std::optional<std::int64_t> disc;
    std::optional<std::int64_t> number;
    std::int64_t totalTime = 200000;
    plist::Dict extra; // further keys, written before the standard ones
};

struct Playlist {
    std::string persistentID;
    std::string name;
    std::vector<std::int64_t> trackIDs;
    plist::Dict extra;
};

std::string persistentIDOf(std::int64_t trackID);
plist::Dict trackDict(const Track& t);
plist::Value libraryValue(const std::vector<Track>& tracks, const std::vector<Playlist>& playlists);

// A folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path write(const std::string& name, std::string_view contents) const;
    static std::string read(const std::filesystem::path& file);

private:
    std::filesystem::path path_;
};

} // namespace platter::testing
