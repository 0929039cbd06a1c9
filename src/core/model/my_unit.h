#pragma once

#include "core/model/my_song.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platter {

// What a unit was cut from: its album whole, one of its discs, or a single song.
enum class UnitKind : std::uint8_t { Album, Disc, Song };

// One shuffle unit: a whole album, a disc or a song, with the random number it is ordered by.
class MyUnit {
public:
    // `initWithNum:songs:`
    // `disc`: the disc's number, for a unit of one disc.
    MyUnit(std::uint32_t num, std::vector<SongPtr> songs, UnitKind kind = UnitKind::Album, std::int32_t disc = 0)
        : num_(num), kind_(kind), disc_(disc) {
        // A unit of one song, the commonest when albums are split, keeps it without a list.
        if (songs.size() == 1)
            single_ = std::move(songs.front());
        else
            many_ = std::move(songs);
    }
    MyUnit(const MyUnit&) = delete;
    MyUnit& operator=(const MyUnit&) = delete;

    std::uint32_t num() const { return num_; }
    UnitKind kind() const { return kind_; }
    std::int32_t disc() const { return disc_; }
    void setNum(std::uint32_t n) { num_ = n; }
    std::span<const SongPtr> songs() const {
        return single_ ? std::span<const SongPtr>(&single_, 1) : std::span<const SongPtr>(many_);
    }

private:
    std::uint32_t num_;
    UnitKind kind_;
    std::int32_t disc_;
    SongPtr single_;
    std::vector<SongPtr> many_;
};

using UnitPtr = std::shared_ptr<MyUnit>;

} // namespace platter
