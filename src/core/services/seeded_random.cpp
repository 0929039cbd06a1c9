#include "core/services/seeded_random.h"

namespace platter {

SeededRandom::SeededRandom() {
    std::random_device device;
    std::seed_seq seq{device(), device(), device(), device(), device(), device(), device(), device()};
    engine_.seed(seq);
}

std::uint32_t SeededRandom::uniform(std::uint32_t bound) {
    if (bound == 0) return 0;
    // Multiply-shift with rejection of the short final interval: exact uniformity, one draw
    // in almost every case.
    auto draw = [this] { return static_cast<std::uint32_t>(engine_() >> 32); };
    auto m = static_cast<std::uint64_t>(draw()) * bound;
    auto low = static_cast<std::uint32_t>(m);
    if (low < bound) {
        const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
        while (low < threshold) {
            m = static_cast<std::uint64_t>(draw()) * bound;
            low = static_cast<std::uint32_t>(m);
        }
    }
    return static_cast<std::uint32_t>(m >> 32);
}

} // namespace platter
