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

ViewController::~ViewController() { ourDelegate_.removeObserver(this); }

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

void ViewController::appChanged(AppEvent event) {
    switch (event) {
    case AppEvent::Playlists:
        shownSong_.reset();
        playlistsViewCont_->refreshTable();
        break;
    case AppEvent::Selection:
        showSelection();
        break;
    case AppEvent::Order:
        mainViewCont_->refreshView();
        break;
    case AppEvent::SongFiles:
        mainViewCont_->refreshSongFiles();
        emit songFilesChanged();
        break;
    case AppEvent::Notices:
        emit statusNoticeChanged();
        break;
    case AppEvent::Playback:
        showPlayback();
        break;
    case AppEvent::Seeked:
        topViewCont_->refreshPosition();
        break;
    case AppEvent::LinkPages:
        loadLinkPages(ourDelegate_.linkPages());
        break;
    case AppEvent::Statistics:
        mainViewCont_->refreshStatistics();
        break;
    }
}

void ViewController::showSelection() {
    const auto* selected = ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    const auto mode = !selected                    ? TopViewMode::NoSelection
                      : ourDelegate_.configuring() ? TopViewMode::Configuring
                                                   : TopViewMode::Playing;
    topViewCont_->setViewsWithMode(mode);
    if (selected)
        topViewCont_->setCautionViewWithSongCount(static_cast<std::int64_t>(selected->songs().size()),
                                                  static_cast<std::int64_t>(selected->albums().size()),
                                                  selected->duration());
    mainViewCont_->refreshView();
    showPlayback();
}

void ViewController::showTransport() {
    // Shown while a song plays, and while an order shows whose play button would start one.
    const bool playing = ourDelegate_.playbackStatus() == AppDelegate::PlaybackStatus::Playing;
    const bool orderShown = ourDelegate_.playlistAt(ourDelegate_.playlistNumber()) && !ourDelegate_.configuring();
    topViewCont_->setAudioControlViewWithPlaying(playing, !orderShown);
}

void ViewController::showPlayback() {
    showTransport();
    if (const auto now = ourDelegate_.nowPlaying())
        topViewCont_->setArtworkAndTextsWithArtwork(ourDelegate_.currentArtwork(), now->song, now->album, now->artist);
    else
        topViewCont_->setArtworkAndTextsWithArtwork(std::nullopt, {}, {}, {});
    mainViewCont_->reloadSongRows();
    // The table follows the current song of the order it shows when that song moved on; another
    // playlist's table is left where the user put it.
    const auto playing = ourDelegate_.playinglistNumber();
    const auto selected = ourDelegate_.playlistNumber();
    const auto* shown = ourDelegate_.configuring() ? nullptr : ourDelegate_.playlistAt(selected);
    if (!shown || (playing && playing != selected)) return;
    const std::pair<std::size_t, std::int64_t> current{*selected, shown->playingNum};
    if (shownSong_ == current) return;
    shownSong_ = current;
    mainViewCont_->scrollSongTableToRow(current.second);
}

void ViewController::loadLinkPages(const std::vector<std::pair<std::string, std::string>>& pages) {
    for (std::size_t i = 0; i < pages.size() && i < 3 && webViews_[0]; ++i) {
        webViews_[2 * i]->loadPage(pages[i].first);
        webViews_[2 * i + 1]->loadPage(pages[i].second);
    }
}

} // namespace platter
