#pragma once

// ReplayGain: loudness levelled by the gains that tagging tools store in audio files, one for
// each track and one for its whole album.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace platter {

struct ReplayGain {
    enum class Mode : std::uint8_t {
        Off,     // songs play as recorded
        ByGrain, // album gain while a whole album or disc plays, track gain for single songs
        Track,   // always track gain
        Album,   // always album gain
    };
    static constexpr double minDb = -15;
    static constexpr double maxDb = 15;
    // A level as it may be used: within the range, and no gain for what is no number.
    static double level(double db) { return std::isfinite(db) ? std::clamp(db, minDb, maxDb) : 0.0; }

    Mode mode = Mode::ByGrain;
    double preAmp = 0;   // dB added to the stored gains
    double untagged = 0; // dB for files that store none
    bool operator==(const ReplayGain&) const = default;
};

} // namespace platter
