#include "core/app/album_covers.h"

#include "core/services/artwork_reader.h"
#include "core/services/cover_store.h"
#include "core/services/task_runner.h"

#include <algorithm>
#include <optional>

namespace platter {

namespace {

// An album whose first files have no artwork rarely has it further on; the rest are not opened.
constexpr std::size_t songsTried = 8;

// The album's files to look in, in its order; empty, with `unknown` set, while the search for
// the files has not reached its songs yet.
std::vector<std::string> filesOf(const MyAlbum& album, bool& unknown) {
    std::vector<std::string> paths;
    unknown = false;
    for (const auto& song : album.songs()) {
        if (song->fileStatus() == SongFile::Status::Unknown) unknown = true;
        if (song->fileStatus() != SongFile::Status::Found || song->filePath().empty()) continue;
        if (std::find(paths.begin(), paths.end(), song->filePath()) == paths.end())
            paths.emplace_back(song->filePath());
        if (paths.size() == songsTried) break;
    }
    return paths;
}

} // namespace

AlbumCovers::AlbumCovers(Services services) : services_(services) {}

AlbumCovers::~AlbumCovers() = default;

AlbumCovers::State AlbumCovers::state(const MyAlbum& album) const {
    const auto it = entries_.find(&album);
    return it == entries_.end() || it->second.album.expired() ? State::Unknown : it->second.state;
}

AlbumCovers::CoverPtr AlbumCovers::cover(const AlbumPtr& album) {
    if (!album || !services_.store) return nullptr;
    auto& entry = entries_[album.get()];
    // Another album at the address of one that is gone.
    if (entry.album.lock() != album) {
        entry = Entry{};
        entry.album = album;
    }
    entry.used = ++uses_;
    if (entry.state != State::Unknown) return entry.cover;
    entry.state = State::Waiting;
    waiting_.push_back(album);
    if (waiting_.size() > waitingAtMost) {
        if (const auto oldest = waiting_.front().lock())
            if (const auto it = entries_.find(oldest.get()); it != entries_.end()) entries_.erase(it);
        waiting_.pop_front();
    }
    readNext();
    return nullptr;
}

void AlbumCovers::cancelWaiting() {
    for (const auto& album : waiting_)
        if (const auto shown = album.lock()) entries_.erase(shown.get());
    waiting_.clear();
    work_.cancel();
}

void AlbumCovers::listen(const void* listener, std::function<void(const MyAlbum&)> arrived) {
    stopListening(listener);
    listeners_.emplace_back(listener, std::move(arrived));
}

void AlbumCovers::stopListening(const void* listener) {
    std::erase_if(listeners_, [&](const auto& l) { return l.first == listener; });
}

void AlbumCovers::readNext() {
    while (!reading_ && !waiting_.empty()) {
        const auto album = waiting_.back().lock();
        waiting_.pop_back();
        if (!album) continue;
        bool unknown = false;
        auto paths = filesOf(*album, unknown);
        if (paths.empty()) {
            // Asked again once the search has found the files, when the row is drawn again.
            finished(album, unknown ? Outcome::NotYet : Outcome::None, {});
            continue;
        }
        entries_[album.get()].state = State::Reading;
        reading_ = true;
        const std::weak_ptr<MyAlbum> which = album;
        const std::weak_ptr<int> alive = lifetime_;
        services_.tasks.runInBackground([paths = std::move(paths), which, alive, token = work_.renew(), this,
                                         &reader = services_.artwork, &store = *services_.store,
                                         &tasks = services_.tasks] {
            auto outcome = Outcome::None;
            std::string image;
            if (token->cancelled()) {
                outcome = Outcome::Cancelled;
            } else if (auto kept = store.kept(paths.front())) {
                outcome = Outcome::Cover;
                image = std::move(*kept);
            } else {
                for (const auto& path : paths) {
                    if (token->cancelled()) {
                        outcome = Outcome::Cancelled;
                        break;
                    }
                    const auto artwork = reader.artwork(path);
                    if (!artwork || artwork->empty()) continue;
                    // Kept under the album's first file, where the next run looks.
                    if (auto small = store.make(paths.front(), *artwork)) {
                        outcome = Outcome::Cover;
                        image = std::move(*small);
                        break;
                    }
                }
            }
            tasks.runOnMainThread([which, alive, outcome, image = std::move(image), this]() mutable {
                if (alive.expired()) return;
                reading_ = false;
                finished(which, outcome, std::move(image));
                readNext();
            });
        });
    }
}

void AlbumCovers::finished(const std::weak_ptr<MyAlbum>& which, Outcome outcome, std::string image) {
    const auto album = which.lock();
    if (!album) return;
    const auto it = entries_.find(album.get());
    if (it == entries_.end() || it->second.album.lock() != album) return;
    auto& entry = it->second;
    switch (outcome) {
    case Outcome::Cancelled:
    case Outcome::NotYet:
        entries_.erase(it);
        return;
    case Outcome::None:
        entry.state = State::None;
        break;
    case Outcome::Cover:
        entry.state = State::Shown;
        entry.cover = std::make_shared<const Cover>(Cover{.id = ++ids_, .image = std::move(image)});
        if (++shown_ > keptAtMost) forgetLeastUsed();
        break;
    }
    // The row shows the placeholder while it waits, so only a cover changes it.
    if (outcome != Outcome::Cover) return;
    // A listener may stop listening while it hears.
    const auto listeners = listeners_;
    for (const auto& [who, arrived] : listeners) arrived(*album);
}

void AlbumCovers::forgetLeastUsed() {
    // A quarter at once, so the scan over the entries is rare.
    std::vector<std::pair<std::uint64_t, const MyAlbum*>> shown;
    for (const auto& [album, entry] : entries_)
        if (entry.state == State::Shown) shown.emplace_back(entry.used, album);
    const auto dropped = std::min(shown.size(), keptAtMost / 4);
    std::nth_element(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(dropped), shown.end());
    for (std::size_t i = 0; i < dropped; ++i) entries_.erase(shown[i].second);
    shown_ -= dropped;
}

} // namespace platter
