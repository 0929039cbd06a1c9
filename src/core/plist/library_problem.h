#pragma once

#include <string>

namespace platter {

// What makes a property list no library a model can be built from.
struct LibraryProblem {
    enum class Kind {
        None,
        NoDictionary,       // no dictionary at its top
        Empty,              // an empty one
        NoTracks,           // no "Tracks" dictionary
        TrackNotDictionary, // the track `track` is no dictionary
    };
    Kind kind = Kind::None;
    std::string track;

    explicit operator bool() const { return kind != Kind::None; }
    bool operator==(const LibraryProblem&) const = default;
};

} // namespace platter
