#pragma once

#include <optional>
#include <string>

namespace platter {

// Finds a song's artwork in or beside its audio file. Reads files: call it off the main thread.
class ArtworkReader {
public:
    virtual ~ArtworkReader() = default;
    // The encoded image (JPEG, PNG), or nothing.
    virtual std::optional<std::string> artwork(const std::string& audioPath) const = 0;
};

} // namespace platter
