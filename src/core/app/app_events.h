#pragma once

// What the controller tells those who show its state (the window, the desktop's media
// controls, the song announcements), on the main thread. An event says what changed; the
// observer reads the rest from the controller, so there is one way to learn of a change and
// no state travels beside it.

#include <algorithm>
#include <vector>

namespace platter {

enum class AppEvent {
    Playlists, // a new model: the playlists and everything shown of them
    Selection, // which playlist is selected, and whether its albums' choices or its order show
    Order,     // the order shown changed (reshuffled, a unit moved to play next)
    SongFiles, // which songs have a file here
    Notices,   // the notices that stand
    Playback,  // what plays or is current, its artwork, playing or not, the volume
    Seeked,    // the position jumped within the current song, rather than playing on
    LinkPages, // the store-link pages of the selected playlist
    Statistics, // songs' plays, skips or ratings
};

class AppObserver {
public:
    virtual ~AppObserver() = default;
    virtual void appChanged(AppEvent event) = 0;
};

// The observers of one controller, told in the order they came.
class AppEvents {
public:
    void add(AppObserver* observer) {
        if (observer) observers_.push_back(observer);
    }
    void remove(AppObserver* observer) { std::erase(observers_, observer); }
    void tell(AppEvent event) const {
        // An observer may leave while it is told.
        const auto observers = observers_;
        for (auto* observer : observers)
            if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
                observer->appChanged(event);
    }

private:
    std::vector<AppObserver*> observers_;
};

} // namespace platter
