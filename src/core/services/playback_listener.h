#pragma once

namespace platter {

// What controls outside the window (the desktop's media controls) hear of playback. They read
// the rest from the controller, so a call may come without a visible change.
class PlaybackListener {
public:
    virtual ~PlaybackListener() = default;
    // The status, the current song or its artwork, what can be done, or the volume changed.
    virtual void playbackChanged() = 0;
    // The position jumped within the current song, to `seconds`, rather than playing on.
    virtual void seeked(double seconds) = 0;
};

} // namespace platter
