#include "core/model/album_grouping.h"

#include "core/text/string_rules.h"

namespace platter {

void groupAlbum(std::string_view albumName, std::string_view albumArtist, bool compilation,
                std::vector<SongPtr> songs, AlbumGrouping& into) {
    const std::string albumKey = songs.front()->albumID();
    const auto& reader = into.addedTracks && songs.front()->dict().document.get() == into.addedDocument
                             ? *into.addedTracks
                             : into.tracks;
    const auto first = reader.read(songs.front()->dict().node);
    const auto sortAlbum = into.rules.sortKey(first.string(TrackKey::SortAlbum).value_or(albumName));
    const auto sortArtist = into.rules.sortKey(first.string(TrackKey::SortAlbumArtist).value_or(albumArtist));

    auto artistKey = into.rules.key(albumArtist);
    if (const auto it = into.artists.find(artistKey); it != into.artists.end())
        it->second->addAlbumId(albumKey);
    else
        into.artists.emplace(std::move(artistKey), std::make_shared<MyArtist>(albumArtist, albumKey));

    AlbumPtr album;
    if (const auto previous = into.previousAlbums.find(albumKey); previous != into.previousAlbums.end()) {
        album = previous->second;
        album->setCompilation(compilation);
        album->setSongs(std::move(songs));
        album->rebuildDiscs(into.masterPersistentID);
        album->fitSettingToDiscs();
    } else {
        album = std::make_shared<MyAlbum>(albumName, sortAlbum, albumArtist, sortArtist, compilation,
                                          std::move(songs), into.masterPersistentID);
        if (const auto stored = into.albumSettings.find(album->albumID());
            stored != into.albumSettings.end()) {
            album->setting() = stored->second;
            album->fitSettingToDiscs();
        }
    }
    for (const auto& s : album->songs())
        s->setMyAlbum(album);
    into.albums.push_back(album);
    into.albumDict.emplace(album->albumID(), std::move(album));
}

} // namespace platter
