#include "core/app/playback_controller.h"
#include "core/playback/artwork_holder.h"
#include "core/services/artwork_reader.h"
#include "core/services/media_library.h"
#include "core/services/task_runner.h"

#include <algorithm>

namespace platter {

std::optional<std::string> PlaybackController::artworkOf(const MyPlaylist& playlist) {
    if (playlist.playingNum < 0 ||
        static_cast<std::size_t>(playlist.playingNum) >= playlist.shuffledSongs.size())
        return std::nullopt;
    const auto& song = playlist.shuffledSongs[static_cast<std::size_t>(playlist.playingNum)];
    // The media library's own artwork needs no reading.
    if (const auto& linked = song->mediaObj(); linked && linked->artworkImage) return linked->artworkImage;
    const auto* queue = queueOf(playlist);
    const auto* item = queue ? queue->itemOfCurrentSong() : nullptr;
    // A song not queued yet (resumed at a start, or moved while paused) shows its file's.
    std::string path = item                                            ? item->path
                       : song->fileStatus() == SongFile::Status::Found ? std::string(song->filePath())
                                                                       : std::string();
    if (path.empty()) return std::nullopt;
    auto holder = std::make_shared<ArtworkHolder>();
    const std::weak_ptr<MySong> shown = song;
    const std::weak_ptr<int> alive = lifetime_;
    services_.tasks.runInBackground([holder, path = std::move(path), song = shown, alive, this,
                                     &reader = services_.artwork, &tasks = services_.tasks] {
        if (!holder->fill(reader.artwork(path))) return;
        // The requester looked before the image arrived: show it now, if its song is still
        // the current one.
        tasks.runOnMainThread([holder, song, alive, this] {
            if (alive.expired()) return;
            const auto* now = controlled();
            const auto current = song.lock();
            if (!now || !current) return;
            const auto n = now->playingNum;
            if (n < 0 || static_cast<std::size_t>(n) >= now->shuffledSongs.size() ||
                now->shuffledSongs[static_cast<std::size_t>(n)] != current)
                return;
            showNowPlaying(holder->read());
        });
    });
    return holder->read();
}

} // namespace platter
