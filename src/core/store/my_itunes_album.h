#pragma once

// Albums and tracks as the catalogue returns them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platter {

class MyiTunesSong {
public:
    // `initWithTrackName:previewUrl:discNumber:trackNumber:`
    MyiTunesSong(std::string trackName, std::string previewUrl, std::int64_t discNumber,
                 std::int64_t trackNumber)
        : trackName_(std::move(trackName)), previewUrl_(std::move(previewUrl)), discNumber_(discNumber),
          trackNumber_(trackNumber) {}
    const std::string& trackName() const { return trackName_; }
    const std::string& previewUrl() const { return previewUrl_; }
    std::int64_t discNumber() const { return discNumber_; }
    std::int64_t trackNumber() const { return trackNumber_; }

private:
    std::string trackName_, previewUrl_;
    std::int64_t discNumber_, trackNumber_;
};

using ITunesSongs = std::vector<std::shared_ptr<const MyiTunesSong>>;

class MyiTunesAlbum {
public:
    // `initWithCollectionName:collectionId:collectionViewUrl:artworkUrl100:`
    MyiTunesAlbum(std::string collectionName, std::int64_t collectionId, std::string collectionViewUrl,
                  std::string artworkUrl100)
        : collectionName_(std::move(collectionName)), collectionId_(collectionId),
          collectionViewUrl_(std::move(collectionViewUrl)), artworkUrl100_(std::move(artworkUrl100)) {}
    MyiTunesAlbum(const MyiTunesAlbum&) = delete;
    MyiTunesAlbum& operator=(const MyiTunesAlbum&) = delete;

    const std::string& collectionName() const { return collectionName_; }
    std::int64_t collectionId() const { return collectionId_; }
    const std::string& collectionViewUrl() const { return collectionViewUrl_; }
    const std::string& artworkUrl100() const { return artworkUrl100_; }

    // Filled on the main thread the first time tracks are found; empty until then.
    ITunesSongs songs;
    std::vector<std::int64_t> songNumbers;

private:
    std::string collectionName_;
    std::int64_t collectionId_;
    std::string collectionViewUrl_, artworkUrl100_;
};

using ITunesAlbumPtr = std::shared_ptr<MyiTunesAlbum>;

} // namespace platter
