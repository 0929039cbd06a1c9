#include "ui/view_controller.h"

#include "core/app/app_delegate.h"
#include "ui/link_pane.h"
#include "ui/main_view_controller.h"
#include "ui/playlists_view_controller.h"
#include "ui/top_view_controller.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace platter {

ViewController::ViewController(AppDelegate& app, bool withLinkPanes, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), playlistsViewCont_(new MyPlaylistsViewController(app, this)),
      topViewCont_(new MyTopViewController(app, this)), mainViewCont_(new MyMainViewController(app, this)) {
    setObjectName(QStringLiteral("content"));

    auto* links = new QWidget(this);
    links->setObjectName(QStringLiteral("linkColumn"));
    links->setFixedWidth(linkColumnWidth);
    auto* linkLayout = new QVBoxLayout(links);
    linkLayout->setContentsMargins(0, 0, 0, 0);
    linkLayout->setSpacing(0);
    if (!withLinkPanes) {
        auto* why = new QLabel(
            QStringLiteral("Store links are off: their web panes cannot run for the root user."), links);
        why->setObjectName(QStringLiteral("linksOff"));
        why->setWordWrap(true);
        why->setAlignment(Qt::AlignCenter);
        why->setMargin(24);
        linkLayout->addWidget(why);
    }
    for (std::size_t i = 0; withLinkPanes && i < webViews_.size(); ++i) {
        auto* pane = new LinkPane(links);
        const bool artist = i % 2 == 0;
        pane->setObjectName(
            QStringLiteral("%1%2").arg(artist ? "webViewArtist" : "webViewAlbum").arg(i / 2 + 1));
        if (artist) pane->setFixedHeight(artistPaneHeight);
        // Each band is a third of the height: the artist pane's fixed 80 and the album pane's rest.
        linkLayout->addWidget(pane, artist ? 0 : 1);
        webViews_[i] = pane;
    }

    auto* middle = new QVBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(topViewCont_);
    middle->addWidget(mainViewCont_, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(playlistsViewCont_);
    layout->addLayout(middle, 1);
    layout->addWidget(links);
}

void ViewController::refreshPlaylistView() {
    playlistsViewCont_->refreshTable();
}

void ViewController::refreshMainView() {
    mainViewCont_->refreshView();
}

void ViewController::refreshViewsWithTopViewMode(TopViewMode mode) {
    topViewCont_->setViewsWithMode(mode);
    mainViewCont_->refreshView();
}

void ViewController::refreshViewsWithTopViewMode(TopViewMode mode, std::int64_t songCount,
                                                 std::int64_t albumCount, double seconds, bool playing,
                                                 bool shouldAudioDelete) {
    topViewCont_->setViewsWithMode(mode);
    topViewCont_->setAudioControlViewWithPlaying(playing, shouldAudioDelete);
    if (mode == TopViewMode::Configuring || mode == TopViewMode::Playing)
        topViewCont_->setCautionViewWithSongCount(songCount, albumCount, seconds);
    mainViewCont_->refreshView();
}

void ViewController::refreshSongFiles() {
    mainViewCont_->refreshSongFiles();
    emit songFilesChanged();
}

void ViewController::loadLinkPages(const std::vector<std::pair<std::string, std::string>>& pages) {
    for (std::size_t i = 0; i < pages.size() && i < 3 && webViews_[0]; ++i) {
        webViews_[2 * i]->loadPage(pages[i].first);
        webViews_[2 * i + 1]->loadPage(pages[i].second);
    }
}

void ViewController::willPauseWithAudioShoudDelete(bool audioShouldDelete, bool artworkShouldDelete) {
    topViewCont_->setAudioControlViewWithPlaying(false, audioShouldDelete);
    mainViewCont_->reloadSongRows();
    if (artworkShouldDelete) topViewCont_->setArtworkAndTextsWithArtwork(std::nullopt, {}, {}, {});
}

void ViewController::willPlayWithArtwork(const std::optional<std::string>& artwork, const std::string& song,
                                         const std::string& album, const std::string& artist) {
    topViewCont_->setAudioControlViewWithPlaying(true, false);
    topViewCont_->setArtworkAndTextsWithArtwork(artwork, song, album, artist);
    mainViewCont_->reloadSongRows();
}

void ViewController::updatePlayingSongWithArtwork(const std::optional<std::string>& artwork,
                                                  const std::string& song, const std::string& album,
                                                  const std::string& artist, std::int64_t row) {
    topViewCont_->setArtworkAndTextsWithArtwork(artwork, song, album, artist);
    // The row is one of the playing order, or, while none plays, the current song of the order
    // shown; another playlist's table is left where the user put it.
    const auto playing = ourDelegate_.playinglistNumber();
    const auto* shown =
        ourDelegate_.configuring() ? nullptr : ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    if (playing ? playing == ourDelegate_.playlistNumber() : shown && shown->playingNum == row)
        mainViewCont_->scrollSongTableToRow(row);
    mainViewCont_->reloadSongRows();
}

} // namespace platter
