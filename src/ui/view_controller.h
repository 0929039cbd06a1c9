#pragma once

// The main window's content: the playlists list on the left, the top panel over the main panel
// in the middle, and the six store-link panes on the right. It is the one place the application
// controller asks views to refresh, and forwards each request to the panels in a fixed order.
// Only the album panes and the middle column change size with the window.

#include "core/services/view_refresh.h"

#include <QWidget>
#include <array>

namespace platter {

class AppDelegate;
class LinkPane;
class MyMainViewController;
class MyPlaylistsViewController;
class MyTopViewController;

class ViewController final : public QWidget, public ViewRefresh {
    Q_OBJECT
public:
    static constexpr int linkColumnWidth = 320;
    static constexpr int artistPaneHeight = 80;

    // Without link panes the right column only says why it is empty.
    explicit ViewController(AppDelegate& app, bool withLinkPanes = true, QWidget* parent = nullptr);

    void refreshPlaylistView() override;
    void refreshMainView() override;
    void refreshViewsWithTopViewMode(TopViewMode mode) override;
    void refreshViewsWithTopViewMode(TopViewMode mode, std::int64_t songCount, std::int64_t albumCount,
                                     double seconds, bool playing, bool shouldAudioDelete) override;
    void refreshSongFiles() override;
    void refreshStatusNotice() override { emit statusNoticeChanged(); }
    void loadLinkPages(const std::vector<std::pair<std::string, std::string>>& pages) override;
    void willPauseWithAudioShoudDelete(bool audioShouldDelete, bool artworkShouldDelete) override;
    void willPlayWithArtwork(const std::optional<std::string>& artwork, const std::string& song,
                             const std::string& album, const std::string& artist) override;
    void updatePlayingSongWithArtwork(const std::optional<std::string>& artwork, const std::string& song,
                                      const std::string& album, const std::string& artist,
                                      std::int64_t row) override;

    MyPlaylistsViewController* playlistsViewCont() const { return playlistsViewCont_; }
    MyTopViewController* topViewCont() const { return topViewCont_; }
    MyMainViewController* mainViewCont() const { return mainViewCont_; }
    // Top to bottom: artist 1, album 1, artist 2, album 2, artist 3, album 3; null without panes.
    const std::array<LinkPane*, 6>& webViews() const { return webViews_; }

signals:
    // Which songs have a file here changed; the window's status line follows.
    void songFilesChanged();
    void statusNoticeChanged();

private:
    AppDelegate& ourDelegate_;
    MyPlaylistsViewController* playlistsViewCont_;
    MyTopViewController* topViewCont_;
    MyMainViewController* mainViewCont_;
    std::array<LinkPane*, 6> webViews_{};
};

} // namespace platter
