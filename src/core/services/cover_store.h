#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platter {

// Small album covers, made from artwork and kept on disk from one run to the next. Each is kept
// for an audio file as it is now: a changed file has none kept until one is made again. Reads
// and writes files: call it off the main thread.
class CoverStore {
public:
    virtual ~CoverStore() = default;
    // The small cover kept for `audioPath`, encoded (PNG); nothing when none is kept, or the
    // kept one is unreadable.
    virtual std::optional<std::string> kept(const std::string& audioPath) const = 0;
    // Scales `artwork` (an encoded image) down to a small cover, keeps it for `audioPath` and
    // returns it encoded (PNG); nothing when `artwork` is no image it can read.
    virtual std::optional<std::string> make(const std::string& audioPath, std::string_view artwork) = 0;
};

} // namespace platter
