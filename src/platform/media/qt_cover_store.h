#pragma once

#include "core/services/cover_store.h"

namespace platter {

// Small covers as PNG files in a folder of their own (the user's cache), each named after the
// audio file it was made for: a digest of its path, size and time of change, so that a
// changed file is read again. Images are decoded by Qt's readers, already scaled where the
// format allows (a JPEG is decoded at a fraction of its size).
class QtCoverStore final : public CoverStore {
public:
    // A cover's longest edge, in pixels: a row's cover at twice the row's scale, and a little.
    static constexpr int edge = 96;

    explicit QtCoverStore(std::string folder);

    std::optional<std::string> kept(const std::string& audioPath) const override;
    std::optional<std::string> make(const std::string& audioPath, std::string_view artwork) override;

    // Where the cover made for `audioPath` is kept; empty while that file cannot be looked at.
    std::string fileFor(const std::string& audioPath) const;

private:
    std::string folder_;
};

} // namespace platter
