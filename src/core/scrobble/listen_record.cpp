#include "core/scrobble/listen_record.h"

#include "core/model/my_song.h"

#include <algorithm>

namespace platter {

std::optional<ListenRecord> listenRecord(const MySong& song, std::int64_t startedAt) {
    // The track's own entries: the song's accessors stand in a placeholder for a missing artist.
    const auto& dict = song.dict();
    if (!dict.document) return std::nullopt;
    const auto text = [&](std::string_view key) { return std::string(dict.node.stringFor(key).value_or("")); };
    ListenRecord record{.startedAt = startedAt,
                        .title = text("Name"),
                        .artist = text("Artist"),
                        .album = text("Album"),
                        .albumArtist = text("Album Artist"),
                        .trackNumber = std::max<std::int64_t>(0, song.trackNumber()),
                        .durationSeconds = static_cast<std::int64_t>(song.duration() + 0.5)};
    if (record.title.empty() || record.artist.empty()) return std::nullopt;
    return record;
}

} // namespace platter
