#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platter {

// What the top panel shows.
enum class TopViewMode {
    NoSongs = -1,    // a caution: the songs are still being read, or there are none
    NoSelection = 0, // a caution: no playlist is selected
    Configuring = 1, // the selected playlist's counts and the button that shuffles it
    Playing = 2,     // the shuffled order's controls
};

// The refreshes the model asks of the main window. The window reads what it shows from the
// application controller; these calls only say what to redraw and in which mode.
class ViewRefresh {
public:
    virtual ~ViewRefresh() = default;
    virtual void refreshPlaylistView() = 0;
    // The main panel shows the outline or the song table as `configuring` says, reloaded.
    virtual void refreshMainView() = 0;
    virtual void refreshViewsWithTopViewMode(TopViewMode mode) = 0;
    virtual void refreshViewsWithTopViewMode(TopViewMode mode, std::int64_t songCount,
                                             std::int64_t albumCount, double seconds, bool playing,
                                             bool shouldAudioDelete) = 0;
    // Pairs of (artist page, album page) for the first link panes, at most three; panes beyond
    // the pairs keep what they show.
    virtual void loadLinkPages(const std::vector<std::pair<std::string, std::string>>& pages) = 0;
    // Which songs have a file here changed: the status line and the greyed rows are redrawn.
    virtual void refreshSongFiles() = 0;
    // What the status line says of saving or of the sound output changed: see
    // `AppDelegate::statusNotice`.
    virtual void refreshStatusNotice() {}
    virtual void willPauseWithAudioShoudDelete(bool audioShouldDelete, bool artworkShouldDelete) = 0;
    // Artwork is the encoded image (JPEG, PNG), or nothing.
    virtual void willPlayWithArtwork(const std::optional<std::string>& artwork, const std::string& song,
                                     const std::string& album, const std::string& artist) = 0;
    virtual void updatePlayingSongWithArtwork(const std::optional<std::string>& artwork,
                                              const std::string& song, const std::string& album,
                                              const std::string& artist, std::int64_t row) = 0;
};

} // namespace platter
