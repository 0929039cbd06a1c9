#include "core/app/statistics.h"

#include "core/model/my_song.h"

#include <algorithm>
#include <chrono>

namespace platter {
namespace {

constexpr double shortestCounted = 30;
constexpr double longestNeeded = 240;
constexpr double skipWithin = 20;

template <class... F> struct Overloaded : F... {
    using F::operator()...;
};
template <class... F> Overloaded(F...) -> Overloaded<F...>;

std::optional<Notice> noticeOf(const DatabaseOpenReport& report) {
    return std::visit(
        Overloaded{
            [](const DatabaseOpened&) -> std::optional<Notice> { return std::nullopt; },
            [](const DatabaseRestoredFromBackup& r) -> std::optional<Notice> {
                return Notice{Notice::Kind::StatisticsRestored, r.movedAsidePath, {}, r.backupDate};
            },
            [](const DatabaseStartedAfresh& r) -> std::optional<Notice> {
                return Notice{Notice::Kind::StatisticsStartedAfresh, r.movedAsidePath, {}};
            },
            [](const DatabaseUnavailable& r) -> std::optional<Notice> {
                return Notice{r.reason == DatabaseUnavailable::Reason::NewerVersion
                                  ? Notice::Kind::StatisticsFromNewerVersion
                                  : Notice::Kind::StatisticsUnavailable,
                              {},
                              r.detail};
            },
        },
        report);
}

} // namespace

Statistics::Statistics(LibraryDatabase* database, Clock now, const AppEvents& events)
    : database_(database), now_(std::move(now)), events_(events) {}

std::int64_t Statistics::systemNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t Statistics::now() const { return now_ ? now_() : systemNow(); }

void Statistics::readStored() {
    if (!database_) return;
    notice_ = noticeOf(database_->openReport());
    counted_ = database_->readAll();
}

ShownStats Statistics::statsOf(const MySong& song) const {
    const auto found = counted_.find(std::string(song.persistentID()));
    return combined(fileStatsOf(song), found == counted_.end() ? SongStats{} : found->second);
}

std::optional<std::int64_t> Statistics::lastPlayedOf(const MySong& song) const {
    const auto file = fileLastPlayedOf(song);
    if (counted_.empty()) return file;
    const auto found = counted_.find(std::string(song.persistentID()));
    if (found == counted_.end() || !found->second.lastPlayed) return file;
    return file ? std::max(*file, *found->second.lastPlayed) : found->second.lastPlayed;
}

void Statistics::rate(const MySong& song, int rating) {
    const std::string id(song.persistentID());
    const auto value = std::clamp(rating, 0, 100);
    here(id).rating = value;
    if (database_) database_->setRating(id, value);
    events_.tell(AppEvent::Statistics);
}

void Statistics::begin(Item item, SongPtr song, double length) {
    auto id = std::string(song->persistentID());
    play_ = Play{item, std::move(song), std::move(id), length};
    play_->beganAt = now();
    if (hooks_.began) hooks_.began(*play_->song);
}

void Statistics::sounding(Item item, const SongPtr& song, double length, double at) {
    if (!play_ || play_->item != item) begin(item, song, length);
    play_->since = at;
}

void Statistics::hear(double upTo) {
    if (!play_ || !play_->since) return;
    play_->heard += std::max(upTo - *play_->since, 0.0);
    play_->since = upTo;
    if (!play_->counted && play_->length >= shortestCounted &&
        play_->heard >= std::min(play_->length / 2, longestNeeded))
        countPlay();
}

void Statistics::countPlay() {
    play_->counted = true;
    const auto when = now();
    auto& stats = here(play_->id);
    ++stats.plays;
    stats.lastPlayed = when;
    {
        // A play on disk has its listen queued beside it.
        const ChangesTogether together(database_);
        if (database_) database_->addPlay(play_->id, when);
        if (hooks_.counted) hooks_.counted(*play_->song, play_->beganAt);
    }
    events_.tell(AppEvent::Statistics);
}

void Statistics::silenced(double at) {
    hear(at);
    if (play_) play_->since.reset();
}

void Statistics::seeked(double from, double to) {
    if (!play_ || !play_->since) return;
    hear(from);
    play_->since = to;
}

void Statistics::checkpoint(double at) { hear(at); }

void Statistics::ended(Item item, bool failed) {
    if (!play_ || play_->item != item) return;
    if (!failed) hear(play_->length);
    play_.reset();
}

void Statistics::skipped(Item item, double at) {
    if (!play_ || play_->item != item) return;
    hear(at);
    if (!play_->counted && play_->heard < skipWithin) {
        const auto when = now();
        auto& stats = here(play_->id);
        ++stats.skips;
        stats.lastSkipped = when;
        if (database_) database_->addSkip(play_->id, when);
        events_.tell(AppEvent::Statistics);
    }
    play_.reset();
}

void Statistics::restarted(Item item, double at) {
    if (!play_ || play_->item != item) return;
    hear(at);
    const bool sounding = play_->since.has_value();
    begin(item, std::move(play_->song), play_->length);
    if (sounding) play_->since = 0.0;
}

} // namespace platter
