#pragma once

// The small covers the album outline shows. An album's cover comes from the artwork of its
// first song that has some (the reader prefers a file's own pictures to a folder's image),
// kept small by the cover store, so a later run reads the small file instead of the tags.
// Covers are read only for albums someone asked about, one album at a time on the disk lane,
// the albums asked about last first: those are the rows on screen now. Asks left waiting are
// bounded, the oldest dropped (asked again if they show again), and a new playlist drops them
// all. An album with no readable artwork is not read again in this run. Only so many covers
// stay in memory; one dropped is read again from the store when it is wanted again.

#include "core/model/my_album.h"
#include "core/services/cancel_token.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platter {

class ArtworkReader;
class CoverStore;
class TaskRunner;

class AlbumCovers {
public:
    struct Services {
        TaskRunner& tasks;
        const ArtworkReader& artwork;
        CoverStore* store; // none: no covers
    };
    // A small cover, encoded (PNG); `id` tells one image from another for those who decode it.
    struct Cover {
        std::uint64_t id;
        std::string image;
    };
    using CoverPtr = std::shared_ptr<const Cover>;
    enum class State { Unknown, Waiting, Reading, Shown, None };

    static constexpr std::size_t waitingAtMost = 64;
    static constexpr std::size_t keptAtMost = 512;

    explicit AlbumCovers(Services services);
    AlbumCovers(const AlbumCovers&) = delete;
    AlbumCovers& operator=(const AlbumCovers&) = delete;
    ~AlbumCovers();

    // The album's cover once it is here. The first time an album is wanted, its cover is asked
    // for; null until it arrives, and for an album that has none.
    CoverPtr cover(const AlbumPtr& album);
    State state(const MyAlbum& album) const;
    // Covers asked for and not read yet are no longer wanted.
    void cancelWaiting();

    // `arrived` hears, on the main thread, of each album whose cover came, until `listener`
    // stops listening.
    void listen(const void* listener, std::function<void(const MyAlbum&)> arrived);
    void stopListening(const void* listener);

private:
    struct Entry {
        std::weak_ptr<MyAlbum> album;
        State state = State::Unknown;
        CoverPtr cover;
        std::uint64_t used = 0;
    };
    enum class Outcome { Cover, None, Cancelled, NotYet };
    void readNext();
    void finished(const std::weak_ptr<MyAlbum>& album, Outcome outcome, std::string image);
    void forgetLeastUsed();

    Services services_;
    std::unordered_map<const MyAlbum*, Entry> entries_;
    std::deque<std::weak_ptr<MyAlbum>> waiting_; // the newest at the back
    bool reading_ = false;
    std::uint64_t uses_ = 0, ids_ = 0;
    std::size_t shown_ = 0; // entries holding a cover
    std::vector<std::pair<const void*, std::function<void(const MyAlbum&)>>> listeners_;
    CurrentWork work_;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
