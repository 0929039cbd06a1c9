#include "core/model/album_setting.h"

#include <algorithm>

namespace platter {

namespace {
constexpr std::int64_t everySongKey = -1;
}

AlbumSetting AlbumSetting::songs() {
    AlbumSetting s;
    s.shape_ = AlbumShape::SplitIntoSongs;
    return s;
}

AlbumSetting AlbumSetting::discs(std::map<std::int64_t, bool> songsOfDisc) {
    if (songsOfDisc.size() < 2)
        return !songsOfDisc.empty() && songsOfDisc.begin()->second ? songs() : AlbumSetting{};
    AlbumSetting s;
    s.shape_ = AlbumShape::SplitIntoDiscs;
    s.discs_ = std::move(songsOfDisc);
    return s;
}

AlbumSetting AlbumSetting::fromStored(std::map<std::int64_t, bool> stored) {
    // One entry means every song whatever its key, as older files may hold other keys.
    if (stored.size() == 1) return songs();
    return discs(std::move(stored));
}

std::map<std::int64_t, bool> AlbumSetting::stored() const {
    if (shape_ == AlbumShape::SplitIntoSongs) return {{everySongKey, true}};
    return discs_;
}

bool AlbumSetting::isDiscSplitIntoSongs(std::int64_t disc) const {
    const auto it = discs_.find(disc);
    return it != discs_.end() && it->second;
}

void AlbumSetting::toggleDisc(std::int64_t disc) {
    if (const auto it = discs_.find(disc); it != discs_.end()) it->second = !it->second;
}

std::size_t AlbumSetting::discsSplitIntoSongs() const {
    return static_cast<std::size_t>(std::ranges::count_if(discs_, [](const auto& e) { return e.second; }));
}

} // namespace platter
