#include "ui/view_controller.h"

#include "core/app/app_delegate.h"
#include "ui/link_pane.h"
#include "ui/main_view_controller.h"
#include "ui/playlists_view_controller.h"
#include "ui/top_view_controller.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace platter {

ViewController::ViewController(AppDelegate& app, bool withLinkPanes, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), playlistsViewCont_(new MyPlaylistsViewController(app, this)),
      topViewCont_(new MyTopViewController(app, this)), mainViewCont_(new MyMainViewController(app, this)),
      columns_(new QSplitter(Qt::Horizontal, this)), links_(new QWidget(this)) {
    setObjectName(QStringLiteral("content"));

    auto* links = links_;
    links->setObjectName(QStringLiteral("linkColumn"));
    // Narrower than its pages read it folds away (see foldNarrowLinkColumn); the window's
    // least width does not count it.
    links->setMinimumWidth(1);
    auto* linkLayout = new QVBoxLayout(links);
    linkLayout->setContentsMargins(0, 0, 0, 0);
    linkLayout->setSpacing(0);
    if (!withLinkPanes) {
        auto* why =
            new QLabel(tr("Store links are off: their web panes cannot run for the root user."), links);
        why->setObjectName(QStringLiteral("linksOff"));
        why->setWordWrap(true);
        why->setAlignment(Qt::AlignCenter);
        why->setMargin(24);
        linkLayout->addWidget(why);
    }
    std::optional<LinkPane::EngineStart> engine;
    if (withLinkPanes) engine.emplace();
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
    engine.reset();

    auto* centre = new QWidget(this);
    auto* middle = new QVBoxLayout(centre);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(topViewCont_);
    middle->addWidget(mainViewCont_, 1);

    columns_->setObjectName(QStringLiteral("columns"));
    columns_->setHandleWidth(3);
    playlistsViewCont_->setMinimumWidth(sidebarMinimum);
    columns_->addWidget(playlistsViewCont_);
    columns_->addWidget(centre);
    columns_->addWidget(links);
    columns_->setStretchFactor(0, 0);
    columns_->setStretchFactor(1, 1);
    columns_->setStretchFactor(2, 0);
    columns_->setCollapsible(0, false);
    columns_->setCollapsible(1, false);
    columns_->setCollapsible(2, true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(columns_);
    connect(columns_, &QSplitter::splitterMoved, this, &ViewController::foldNarrowLinkColumn);
    fitColumns(1400);
}

void ViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Our layout gave the splitter its width just now; the first time is before the columns
    // show, so that the web panes start at their width rather than change it at once.
    applyWidths(true);
}

void ViewController::applyWidths(bool sized) {
    if (wanted_ && (sized || isVisible())) {
        columns_->setSizes(*wanted_);
        wanted_.reset();
    }
    if (!wanted_) foldNarrowLinkColumn();
}

void ViewController::foldNarrowLinkColumn() {
    const auto sizes = columns_->sizes();
    if (sizes.size() == 3 && sizes[2] > 0 && sizes[2] < linkColumnMinimum) foldLinkColumn();
}

void ViewController::fitColumns(int width) {
    const int handles = 2 * columns_->handleWidth();
    const int middle = topViewCont_->minimumWidth() + MyTopViewController::panelHeight;
    const int sidebar =
        std::clamp(width / 6, sidebarMinimum, static_cast<int>(MyPlaylistsViewController::width));
    int links = std::min(static_cast<int>(linkColumnWidth), width - handles - sidebar - middle);
    if (links < linkColumnMinimum) links = 0;
    setColumnWidths({sidebar, std::max(1, width - handles - sidebar - links), links});
}

void ViewController::foldLinkColumn() {
    auto sizes = columnWidths();
    if (sizes.size() != 3 || sizes[2] == 0) return;
    sizes[1] += sizes[2];
    sizes[2] = 0;
    setColumnWidths(sizes);
}

QList<int> ViewController::columnWidths() const {
    return wanted_ ? *wanted_ : columns_->sizes();
}

bool ViewController::setColumnWidths(const QList<int>& widths) {
    if (widths.size() != 3 || widths[1] <= 0 ||
        std::any_of(widths.begin(), widths.end(), [](int w) { return w < 0; }))
        return false;
    wanted_ = widths;
    applyWidths(false);
    return true;
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
