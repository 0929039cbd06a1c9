#include "core/app/app_delegate.h"
#include "core/playback/artwork_holder.h"
#include "core/services/artwork_reader.h"
#include "core/services/media_library.h"
#include "core/services/task_runner.h"

#include <algorithm>

namespace platter {

std::optional<std::string> AppDelegate::nowPlayingArtwork(const MyPlaylist& playlist) {
    if (playlist.playingNum < 0 ||
        static_cast<std::size_t>(playlist.playingNum) >= playlist.shuffledSongs.size())
        return std::nullopt;
    // The media library's own artwork needs no reading.
    const auto& linked = playlist.shuffledSongs[static_cast<std::size_t>(playlist.playingNum)]->mediaObj();
    if (linked && linked->artworkImage) return linked->artworkImage;
    const auto* queue = queueOf(playlist);
    const auto* item = queue ? queue->itemOfCurrentSong() : nullptr;
    if (!item) return std::nullopt;
    auto holder = std::make_shared<ArtworkHolder>();
    const std::weak_ptr<MySong> song = playlist.shuffledSongs[static_cast<std::size_t>(playlist.playingNum)];
    const std::weak_ptr<int> alive = lifetime_;
    services_.tasks.runInBackground([holder, path = item->path, song, alive, this,
                                     &reader = services_.artwork, &tasks = services_.tasks] {
        if (!holder->fill(reader.artwork(path))) return;
        // The requester looked before the image arrived: show it now, if its song is still
        // the current one.
        tasks.runOnMainThread([holder, song, alive, this] {
            if (alive.expired()) return;
            const auto* playing = playlistAt(playinglistNumber_);
            const auto current = song.lock();
            if (!playing || !current) return;
            const auto n = playing->playingNum;
            if (n < 0 || static_cast<std::size_t>(n) >= playing->shuffledSongs.size() ||
                playing->shuffledSongs[static_cast<std::size_t>(n)] != current)
                return;
            showNowPlaying(*playing, holder->read(), false);
        });
    });
    return holder->read();
}

} // namespace platter
