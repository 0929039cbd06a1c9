#pragma once

#include <cstdint>
#include <map>

namespace platter {

enum class AlbumShape { Whole, SplitIntoSongs, SplitIntoDiscs };

// The user's shuffle grain for one album. Stored as a disc-number-to-Boolean dictionary whose
// number of entries alone tells the shape: none, the whole album; one ({-1: true}), every
// song; one per disc, every disc, a disc whose value is true split further into its songs.
// A setting split into discs always keeps two or more of them, so it reads back as it was.
class AlbumSetting {
public:
    AlbumSetting() = default; // the whole album
    static AlbumSetting songs();
    // Fewer than two discs are no split into discs: one disc left whole is the whole album,
    // one split into songs is the album split into songs.
    static AlbumSetting discs(std::map<std::int64_t, bool> songsOfDisc);
    static AlbumSetting fromStored(std::map<std::int64_t, bool> stored);
    std::map<std::int64_t, bool> stored() const;

    AlbumShape shape() const { return shape_; }
    bool isWhole() const { return shape_ == AlbumShape::Whole; }
    // Split into discs, by disc number; empty in the other shapes.
    const std::map<std::int64_t, bool>& discs() const { return discs_; }
    bool isDiscSplitIntoSongs(std::int64_t disc) const;
    // Only a disc the setting holds can change.
    void toggleDisc(std::int64_t disc);
    std::size_t discsSplitIntoSongs() const;

    bool operator==(const AlbumSetting&) const = default;

private:
    AlbumShape shape_ = AlbumShape::Whole;
    std::map<std::int64_t, bool> discs_;
};

} // namespace platter
