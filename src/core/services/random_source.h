#pragma once

#include <cstdint>

namespace platter {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly distributed integer in [0, bound); 0 when bound is 0.
    virtual std::uint32_t uniform(std::uint32_t bound) = 0;
};

} // namespace platter
