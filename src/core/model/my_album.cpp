#include "core/model/my_album.h"

#include <algorithm>

namespace platter {

MyAlbum::MyAlbum(std::string_view albumName, std::string_view sortAlbum, std::string_view artist,
                 std::string_view sortArtist, bool compilation, std::vector<SongPtr> songs,
                 std::string_view masterPersistentID)
    : albumName_(albumName), sortAlbum_(sortAlbum), artist_(artist), sortArtist_(sortArtist),
      compilation_(compilation), songs_(std::move(songs)) {
    // The songs carry the composed form of the same ID; an album must match its songs exactly.
    if (songs_.empty())
        albumID_ = albumName_ + "\t" + artist_;
    else
        albumID_ = songs_.front()->albumID();
    rebuildDiscs(masterPersistentID);
}

std::optional<YearSpan> yearsOf(const std::vector<SongPtr>& songs) {
    std::optional<YearSpan> span;
    for (const auto& song : songs) {
        const auto year = song->dict().node.integerFor("Year");
        if (!year || *year <= 0) continue;
        if (!span)
            span = YearSpan{*year, *year};
        else
            span = YearSpan{std::min(span->first, *year), std::max(span->last, *year)};
    }
    return span;
}

double lengthOf(const std::vector<SongPtr>& songs) {
    double seconds = 0;
    for (const auto& song : songs) seconds += std::max(0.0, song->duration());
    return seconds;
}

void sortByTrackNumber(std::vector<SongPtr>& songs) {
    std::sort(songs.begin(), songs.end(),
                     [](const SongPtr& a, const SongPtr& b) { return a->trackNumber() < b->trackNumber(); });
}

void MyAlbum::rebuildDiscs(std::string_view masterPersistentID) {
    discNum_.clear();
    for (const auto& s : songs_)
        discNum_.push_back(s->discNumer());
    std::sort(discNum_.begin(), discNum_.end());
    discNum_.erase(std::unique(discNum_.begin(), discNum_.end()), discNum_.end());

    std::vector<std::vector<SongPtr>> byDisc(discNum_.size());
    for (const auto& s : songs_) {
        const auto at = std::lower_bound(discNum_.begin(), discNum_.end(), s->discNumer()) - discNum_.begin();
        byDisc[static_cast<std::size_t>(at)].push_back(s);
    }
    DiscList master;
    master.reserve(discNum_.size());
    for (std::size_t i = 0; i < discNum_.size(); ++i) {
        sortByTrackNumber(byDisc[i]);
        master.push_back(std::make_shared<MyDisc>(discNum_[i], std::move(byDisc[i])));
    }
    discsForPlaylists_.clear();
    discsForPlaylists_.emplace(std::string(masterPersistentID), std::move(master));
}

void MyAlbum::fitSettingToDiscs() {
    if (setting_.shape() != AlbumShape::SplitIntoDiscs) return;
    std::map<std::int64_t, bool> fitted;
    for (const auto d : discNum_)
        fitted.emplace(d, setting_.isDiscSplitIntoSongs(d));
    setting_ = AlbumSetting::discs(std::move(fitted));
}

} // namespace platter
