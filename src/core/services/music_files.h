#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platter {

// What an audio file's tags say of it, and its length. Text absent from the tags is empty,
// numbers absent are 0.
struct AudioTags {
    std::string title, album, artist, albumArtist, genre;
    bool compilation = false;
    int disc = 0, discCount = 0, track = 0, trackCount = 0, year = 0;
    std::int64_t lengthMs = 0;
    friend bool operator==(const AudioTags&, const AudioTags&) = default;
};

// An audio file found in a folder, with what tells whether it changed.
struct FoundFile {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // nanoseconds since 1970
    friend bool operator==(const FoundFile&, const FoundFile&) = default;
};

// The audio files of music folders and their tags. Safe to call from any thread.
class MusicFiles {
public:
    virtual ~MusicFiles() = default;
    // The audio files (by their name's ending) anywhere below `folder`, links followed, hidden
    // names passed over; nothing when the folder cannot be listed.
    virtual std::vector<FoundFile> audioFilesBelow(const std::string& folder) const = 0;
    // Nothing when the file is missing or no audio file its reader understands.
    virtual std::optional<AudioTags> tags(const std::string& path) const = 0;
};

} // namespace platter
