#pragma once

#include <cstdint>

namespace platter {

// How a shuffle draws its order of units.
enum class ShuffleMode : std::uint8_t {
    Uniform,    // every order equally likely
    Rediscover, // units not heard for longest tend to come first; never-played ones lead
};

} // namespace platter
