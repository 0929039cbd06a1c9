#pragma once

#include "core/store/my_itunes_album.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

// An album artist of the library, with the IDs of its albums in grouping order.
class MyArtist {
public:
    // `initWithName:albumId:`
    MyArtist(std::string_view name, std::string_view albumId)
        : name_(name), albumIds_{std::string(albumId)} {}
    MyArtist(const MyArtist&) = delete;
    MyArtist& operator=(const MyArtist&) = delete;

    const std::string& name() const { return name_; }
    const std::vector<std::string>& albumIds() const { return albumIds_; }
    void addAlbumId(std::string_view id) { albumIds_.emplace_back(id); }

    // The catalogue match, looked up once: found (an id, a page and the albums the library
    // lacks) or not found.
    std::optional<std::int64_t> itunesArtistId;
    std::optional<std::string> itunesArtistUrlStr;
    bool noiTunesId = false;
    std::vector<ITunesAlbumPtr> notHavingAlbums;

private:
    std::string name_;
    std::vector<std::string> albumIds_;
};

using ArtistPtr = std::shared_ptr<MyArtist>;

} // namespace platter
