#include "core/services/random_source.h"
#include "core/shuffle/shuffle.h"

namespace platter {

void buildUnits(MyPlaylist& playlist, std::uint32_t range, RandomSource& random) {
    std::vector<UnitPtr> built;
    // Empty discs make no units: a unit always has something to play.
    const auto unit = [&](std::vector<SongPtr> songs, UnitKind kind, std::int64_t disc = 0) {
        if (!songs.empty())
            built.push_back(std::make_shared<MyUnit>(random.uniform(range), std::move(songs), kind,
                                                     static_cast<std::int32_t>(disc)));
    };
    const auto songBySong = [&](const MyDisc& disc) {
        for (const auto& s : disc.songs())
            unit({s}, UnitKind::Song);
    };
    for (const auto& album : playlist.albums()) {
        const auto found = album->discsForPlaylists().find(playlist.persistentID());
        if (found == album->discsForPlaylists().end()) continue;
        const auto& discs = found->second;
        const auto& setting = album->setting();
        switch (setting.shape()) {
        case AlbumShape::Whole: {
            std::vector<SongPtr> all;
            for (const auto& disc : discs)
                all.insert(all.end(), disc->songs().begin(), disc->songs().end());
            unit(std::move(all), UnitKind::Album);
            break;
        }
        case AlbumShape::SplitIntoSongs:
            for (const auto& disc : discs)
                songBySong(*disc);
            break;
        case AlbumShape::SplitIntoDiscs:
            // Grouping keeps one entry per disc; a disc it somehow missed plays whole.
            for (const auto& disc : discs) {
                if (setting.isDiscSplitIntoSongs(disc->discNumber()))
                    songBySong(*disc);
                else
                    unit(disc->songs(), UnitKind::Disc, disc->discNumber());
            }
            break;
        }
    }
    playlist.units = std::move(built);
}

} // namespace platter
