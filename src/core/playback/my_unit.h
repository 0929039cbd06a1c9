#pragma once

#include "core/library/my_song.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platter {

// One shuffle unit: a whole album, a disc or a song, with the random number it is ordered by.
class MyUnit {
public:
    // `initWithNum:songs:`
    MyUnit(std::uint32_t num, std::vector<SongPtr> songs) : num_(num), songs_(std::move(songs)) {}
    MyUnit(const MyUnit&) = delete;
    MyUnit& operator=(const MyUnit&) = delete;

    std::uint32_t num() const { return num_; }
    void setNum(std::uint32_t n) { num_ = n; }
    const std::vector<SongPtr>& songs() const { return songs_; }

private:
    std::uint32_t num_;
    std::vector<SongPtr> songs_;
};

using UnitPtr = std::shared_ptr<MyUnit>;

} // namespace platter
