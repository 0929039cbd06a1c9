#pragma once

// The main window's content: the playlists list on the left, the top panel over the main panel
// in the middle, and the six store-link panes on the right. It is the one place the application
// controller asks views to refresh, and forwards each request to the panels in a fixed order.
// The three columns sit in a splitter: the middle one takes what the window gains or loses, the
// user sizes the other two, and the link column folds away.

#include "core/services/view_refresh.h"

#include <QList>
#include <QWidget>
#include <array>
#include <optional>

class QSplitter;

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
    static constexpr int linkColumnMinimum = 160;
    static constexpr int sidebarMinimum = 120;
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
    QSplitter* columns() const { return columns_; }
    QWidget* linkColumn() const { return links_; }
    // The columns' widths for a window `width` wide: the sidebar and the link column at their
    // widths while the middle has room for the whole top panel, then narrower, then the link
    // column folded.
    void fitColumns(int width);
    // The link column folds away; it opens again by dragging the splitter's right handle.
    void foldLinkColumn();
    // The columns' widths, left to right, as the window layout keeps them; widths that are not
    // three, or not one of them positive in the middle, are refused.
    QList<int> columnWidths() const;
    bool setColumnWidths(const QList<int>& widths);

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    // Which songs have a file here changed; the window's status line follows.
    void songFilesChanged();
    void statusNoticeChanged();

private:
    // A link column squeezed narrower than its pages read folds away instead.
    void foldNarrowLinkColumn();
    // A splitter that was not laid out yet squeezes any widths it is given into the size it has
    // then; they wait for our layout to give it its width (`sized`), or apply at once when shown.
    void applyWidths(bool sized);

    AppDelegate& ourDelegate_;
    MyPlaylistsViewController* playlistsViewCont_;
    MyTopViewController* topViewCont_;
    MyMainViewController* mainViewCont_;
    QSplitter* columns_;
    QWidget* links_;
    std::optional<QList<int>> wanted_;
    std::array<LinkPane*, 6> webViews_{};
};

} // namespace platter
