#pragma once

#include <optional>
#include <string>

namespace platter {

// Reads audio files' own facts, cheaply and without decoding them.
class AudioFiles {
public:
    virtual ~AudioFiles() = default;
    // The length in seconds; nothing when the file is missing or no readable audio file.
    virtual std::optional<double> duration(const std::string& path) const = 0;
};

} // namespace platter
