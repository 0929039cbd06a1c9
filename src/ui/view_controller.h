#pragma once

// The main window's content: the playlists list on the left, the top panel over the main panel
// in the middle, and the six store-link panes on the right. It hears the controller's changes
// and has the panels show them, reading what to show from the controller.
// The three columns sit in a splitter: the middle one takes what the window gains or loses, the
// user sizes the other two, and the link column folds away.

#include "core/app/app_events.h"

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

class ViewController final : public QWidget, public AppObserver {
    Q_OBJECT
public:
    static constexpr int linkColumnWidth = 320;
    static constexpr int linkColumnMinimum = 160;
    static constexpr int sidebarMinimum = 120;
    static constexpr int artistPaneHeight = 80;

    // Without link panes the right column only says why it is empty.
    explicit ViewController(AppDelegate& app, bool withLinkPanes = true, QWidget* parent = nullptr);
    ~ViewController() override;

    void appChanged(AppEvent event) override;

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
    // The top panel's mode, counts and transport, and the main panel, as the selection stands.
    void showSelection();
    // The transport, the current song with its artwork, the song rows' marker; the table follows
    // the current song when it moved on.
    void showPlayback();
    void showTransport();
    void loadLinkPages(const std::vector<std::pair<std::string, std::string>>& pages);

    AppDelegate& ourDelegate_;
    MyPlaylistsViewController* playlistsViewCont_;
    MyTopViewController* topViewCont_;
    MyMainViewController* mainViewCont_;
    QSplitter* columns_;
    QWidget* links_;
    std::optional<QList<int>> wanted_;
    // The current song last shown: its playlist and row.
    std::optional<std::pair<std::size_t, std::int64_t>> shownSong_;
    std::array<LinkPane*, 6> webViews_{};
};

} // namespace platter
