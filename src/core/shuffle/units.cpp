#include "core/services/random_source.h"
#include "core/shuffle/shuffle.h"

namespace platter {

void buildUnits(MyPlaylist& playlist, std::uint32_t range, RandomSource& random) {
    std::vector<UnitPtr> built;
    // Empty discs make no units: a unit always has something to play.
    const auto unit = [&](std::vector<SongPtr> songs) {
        if (!songs.empty())
            built.push_back(std::make_shared<MyUnit>(random.uniform(range), std::move(songs)));
    };
    const auto songBySong = [&](const MyDisc& disc) {
        for (const auto& s : disc.songs())
            unit({s});
    };
    for (const auto& album : playlist.albums()) {
        const auto found = album->discsForPlaylists().find(playlist.persistentID());
        if (found == album->discsForPlaylists().end()) continue;
        const auto& discs = found->second;
        const auto& setting = album->setting();
        if (setting.empty()) {
            std::vector<SongPtr> all;
            for (const auto& disc : discs)
                all.insert(all.end(), disc->songs().begin(), disc->songs().end());
            unit(std::move(all));
        } else if (setting.size() == 1) {
            for (const auto& disc : discs)
                songBySong(*disc);
        } else {
            for (const auto& disc : discs) {
                // Grouping keeps one entry per disc; a disc it somehow missed plays whole.
                const auto entry = setting.find(disc->discNumber());
                if (entry != setting.end() && entry->second)
                    songBySong(*disc);
                else
                    unit(disc->songs());
            }
        }
    }
    playlist.units = std::move(built);
}

} // namespace platter
