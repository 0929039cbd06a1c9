#include "core/shuffle/album_selection.h"

namespace platter {

namespace {

AlbumSetting everyDiscWhole(const MyAlbum& album) {
    AlbumSetting s;
    for (const auto d : album.discNum())
        s.emplace(d, false);
    return s;
}

const AlbumSetting splitIntoSongs{{-1, true}};

} // namespace

AlbumShape shapeOf(const AlbumSetting& setting) {
    if (setting.empty()) return AlbumShape::Whole;
    return setting.size() == 1 ? AlbumShape::SplitIntoSongs : AlbumShape::SplitIntoDiscs;
}

bool offersSeparateDiscs(const MyAlbum& album) {
    return album.discNum().size() >= 2;
}

bool isChecked(const MyAlbum& album, SplitColumn column) {
    const auto shape = shapeOf(album.setting());
    return column == SplitColumn::SeparateDiscs ? shape == AlbumShape::SplitIntoDiscs
                                                : shape == AlbumShape::SplitIntoSongs;
}

bool offersDiscRows(const MyAlbum& album) {
    return shapeOf(album.setting()) == AlbumShape::SplitIntoDiscs;
}

bool isDiscChecked(const MyAlbum& album, std::int64_t discNumber) {
    const auto it = album.setting().find(discNumber);
    return it != album.setting().end() && it->second;
}

void toggleAlbum(MyAlbum& album, SplitColumn column) {
    auto& setting = album.setting();
    const auto shape = shapeOf(setting);
    if (column == SplitColumn::SeparateDiscs)
        setting = shape == AlbumShape::SplitIntoDiscs ? AlbumSetting{} : everyDiscWhole(album);
    else
        setting = shape == AlbumShape::SplitIntoSongs ? AlbumSetting{} : splitIntoSongs;
}

void toggleDisc(MyAlbum& album, std::int64_t discNumber) {
    if (!offersDiscRows(album)) return;
    auto& value = album.setting()[discNumber];
    value = !value;
}

} // namespace platter
