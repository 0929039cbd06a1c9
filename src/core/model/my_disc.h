#pragma once

#include "core/model/my_song.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platter {

// One disc of an album, as seen by one playlist: the songs of that disc in track order.
class MyDisc {
public:
    MyDisc(std::int64_t discNumber, std::vector<SongPtr> songs)
        : discNumber_(discNumber), songs_(std::move(songs)) {}
    MyDisc(const MyDisc&) = delete;
    MyDisc& operator=(const MyDisc&) = delete;

    std::int64_t discNumber() const { return discNumber_; }
    const std::vector<SongPtr>& songs() const { return songs_; }

private:
    std::int64_t discNumber_;
    std::vector<SongPtr> songs_;
};

using DiscPtr = std::shared_ptr<MyDisc>;
using DiscList = std::vector<DiscPtr>;

} // namespace platter
