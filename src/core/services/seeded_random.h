#pragma once

#include "core/services/random_source.h"

#include <random>

namespace platter {

// 64-bit Mersenne Twister with Lemire's unbiased bounded draw. Seeded from the system's
// entropy source in the application; tests give a fixed seed and get fixed orders.
class SeededRandom final : public RandomSource {
public:
    SeededRandom();
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    std::uint32_t uniform(std::uint32_t bound) override;

private:
    std::mt19937_64 engine_;
};

} // namespace platter
