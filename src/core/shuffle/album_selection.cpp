#include "core/shuffle/album_selection.h"

namespace platter {

namespace {

AlbumSetting everyDiscWhole(const MyAlbum& album) {
    std::map<std::int64_t, bool> discs;
    for (const auto d : album.discNum())
        discs.emplace(d, false);
    return AlbumSetting::discs(std::move(discs));
}

} // namespace

bool offersSeparateDiscs(const MyAlbum& album) {
    return album.discNum().size() >= 2;
}

bool isChecked(const MyAlbum& album, SplitColumn column) {
    const auto shape = album.setting().shape();
    return column == SplitColumn::SeparateDiscs ? shape == AlbumShape::SplitIntoDiscs
                                                : shape == AlbumShape::SplitIntoSongs;
}

bool offersDiscRows(const MyAlbum& album) {
    return album.setting().shape() == AlbumShape::SplitIntoDiscs;
}

bool isDiscChecked(const MyAlbum& album, std::int64_t discNumber) {
    return album.setting().isDiscSplitIntoSongs(discNumber);
}

void toggleAlbum(MyAlbum& album, SplitColumn column) {
    auto& setting = album.setting();
    const auto shape = setting.shape();
    if (column == SplitColumn::SeparateDiscs)
        setting = shape == AlbumShape::SplitIntoDiscs ? AlbumSetting{} : everyDiscWhole(album);
    else
        setting = shape == AlbumShape::SplitIntoSongs ? AlbumSetting{} : AlbumSetting::songs();
}

void toggleDisc(MyAlbum& album, std::int64_t discNumber) {
    if (!offersDiscRows(album)) return;
    album.setting().toggleDisc(discNumber);
}

} // namespace platter
