#pragma once

// The songs' statistics: what the library file says plus what was counted on this computer,
// which the library database keeps. Playback tells it what is heard, and it counts:
//   a play once a song was heard for half its length or four minutes, whichever comes first,
//   at most once per play of it; songs under 30 seconds never;
//   a skip when the user moves on from a song heard for less than its first 20 seconds.
// Heard time, not position: a seek forward hears nothing, a pause stops the clock. A song that
// failed to play, a pause or a stop is no skip.

#include "core/app/app_events.h"
#include "core/app/notices.h"
#include "core/model/my_song.h"
#include "core/model/song_stats.h"
#include "core/services/library_database.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace platter {

class Statistics {
public:
    using Clock = std::function<std::int64_t()>; // UTC seconds since 1970
    using Item = std::uint64_t;                  // a queue item: one play of a song

    // No database: nothing is kept beyond this run. No clock: the system's.
    Statistics(LibraryDatabase* database, Clock now, const AppEvents& events);
    static std::int64_t systemNow();

    // Reads what the database counted, once, at the start.
    void readStored();
    // How opening the database went, where the user should know.
    const std::optional<Notice>& notice() const { return notice_; }

    ShownStats statsOf(const MySong& song) const;
    // What statsOf(song).stats.lastPlayed says, reading nothing else.
    std::optional<std::int64_t> lastPlayedOf(const MySong& song) const;
    // 0 to 100; 0 is no rating, over the file's too.
    void rate(const MySong& song, int rating);

    // Listening, as playback tells it. One play at a time, named by its queue item.
    // `item` (the song, `length` seconds long) sounds from `at` on: the paused play goes on,
    // or another item's play begins.
    void sounding(Item item, const SongPtr& song, double length, double at);
    // The sound stopped at `at`: a pause.
    void silenced(double at);
    // The play jumped from `from` to `to` within the song.
    void seeked(double from, double to);
    // Counts what was heard up to `at`, sounding on: the quit, where it may not be the end.
    void checkpoint(double at);
    // `item` played to its end, or failed to play.
    void ended(Item item, bool failed);
    // The user moved on from `item` at `at`: a skip, unless it was heard long enough.
    void skipped(Item item, double at);
    // `item` starts again from its beginning: a new play of it.
    void restarted(Item item, double at);
    // The play ends without a verdict (stopped).
    void left() { play_.reset(); }

    // Those told of each play: as it begins, and once it counts, with the moment it began.
    struct PlayHooks {
        std::function<void(const MySong&)> began;
        std::function<void(const MySong&, std::int64_t beganAt)> counted;
    };
    void setPlayHooks(PlayHooks hooks) { hooks_ = std::move(hooks); }
    // The controller's clock: UTC seconds since 1970.
    std::int64_t now() const;

private:
    struct Play {
        Item item = 0;
        SongPtr song;
        std::string id;
        double length = 0;
        double heard = 0;
        std::optional<double> since = std::nullopt; // sounding from there
        bool counted = false;
        std::int64_t beganAt = 0;
    };
    void begin(Item item, SongPtr song, double length);
    void hear(double upTo);
    void countPlay();
    SongStats& here(const std::string& id) { return counted_[id]; }

    LibraryDatabase* database_;
    Clock now_;
    const AppEvents& events_;
    std::unordered_map<std::string, SongStats> counted_;
    std::optional<Play> play_;
    std::optional<Notice> notice_;
    PlayHooks hooks_;
};

} // namespace platter
