#include "ui/main_view_controller.h"

#include "core/app/app_delegate.h"
#include "ui/album_outline_model.h"
#include "ui/song_table_model.h"

#include <QHeaderView>
#include <QStackedLayout>
#include <QTableView>
#include <QTreeView>

namespace platter {

MyMainViewController::MyMainViewController(AppDelegate& app, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), outlineModel_(new AlbumOutlineModel(app, this)),
      songModel_(new SongTableModel(app, QIcon(QStringLiteral(":/speakerPlay.png")),
                                    QIcon(QStringLiteral(":/speakerPause.png")), this)),
      pages_(new QStackedLayout(this)), empty_(new QWidget(this)), outlineView_(new QTreeView(this)),
      tableView_(new QTableView(this)) {
    setObjectName(QStringLiteral("mainPanel"));
    outlineView_->setObjectName(QStringLiteral("outline"));
    outlineView_->setModel(outlineModel_);
    outlineView_->setFrameShape(QFrame::NoFrame);
    outlineView_->setUniformRowHeights(true);
    outlineView_->setAlternatingRowColors(true);
    outlineView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outlineView_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* outlineHeader = outlineView_->header();
    outlineHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    outlineHeader->setSectionsClickable(true);
    outlineHeader->setSortIndicatorShown(true);
    outlineHeader->setStretchLastSection(false);
    outlineHeader->setSectionResizeMode(AlbumOutlineModel::Title, QHeaderView::Stretch);
    outlineHeader->resizeSection(AlbumOutlineModel::Artist, 220);
    outlineHeader->resizeSection(AlbumOutlineModel::SeparateDiscs, 110);
    outlineHeader->resizeSection(AlbumOutlineModel::SeparateSongs, 110);
    connect(outlineHeader, &QHeaderView::sectionClicked, this, &MyMainViewController::headerClicked);

    tableView_->setObjectName(QStringLiteral("songTable"));
    tableView_->setModel(songModel_);
    tableView_->setFrameShape(QFrame::NoFrame);
    tableView_->setAlternatingRowColors(true);
    tableView_->setShowGrid(false);
    tableView_->setWordWrap(false);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Fixed row heights keep a table of a couple of hundred thousand rows as quick as a short one.
    tableView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableView_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tableView_->verticalHeader()->hide();
    auto* tableHeader = tableView_->horizontalHeader();
    tableHeader->setHighlightSections(false);
    tableHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tableHeader->setSectionResizeMode(QHeaderView::Interactive);
    tableHeader->setSectionResizeMode(SongTableModel::Name, QHeaderView::Stretch);
    tableHeader->resizeSection(SongTableModel::Audio, 28);
    tableHeader->setSectionResizeMode(SongTableModel::Audio, QHeaderView::Fixed);
    tableHeader->resizeSection(SongTableModel::Album, 220);
    tableHeader->resizeSection(SongTableModel::Artist, 180);
    tableHeader->resizeSection(SongTableModel::TrackNum, 60);

    connect(tableView_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == SongTableModel::Audio && index.row() == songModel_->markerRow()) playPause();
    });
    connect(tableView_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) ourDelegate_.playFromSong(static_cast<std::size_t>(index.row()));
    });

    pages_->addWidget(empty_);
    pages_->addWidget(outlineView_);
    pages_->addWidget(tableView_);
    pages_->setCurrentWidget(empty_);
}

QWidget* MyMainViewController::shownView() const {
    auto* shown = pages_->currentWidget();
    return shown == empty_ ? nullptr : shown;
}

void MyMainViewController::refreshView() {
    const auto* playlist = ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    if (!playlist) {
        pages_->setCurrentWidget(empty_);
        outlineModel_->reload();
        songModel_->reload();
        return;
    }
    if (!ourDelegate_.configuring()) {
        pages_->setCurrentWidget(tableView_);
        songModel_->reload();
        return;
    }
    pages_->setCurrentWidget(outlineView_);
    outlineModel_->reload();
    showSortIndicator();
}

void MyMainViewController::showSortIndicator() {
    const auto* playlist = ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    if (!playlist) return;
    outlineView_->header()->setSortIndicator(
        playlist->sortAlbum ? AlbumOutlineModel::Title : AlbumOutlineModel::Artist, Qt::AscendingOrder);
}

void MyMainViewController::headerClicked(int column) {
    outlineModel_->sortByColumn(column);
    // The header flips its indicator on every click; it always shows the albums' one order.
    showSortIndicator();
}

void MyMainViewController::playPause() {
    ourDelegate_.playPause();
}

void MyMainViewController::reloadSongRows() {
    songModel_->refreshRows();
}

void MyMainViewController::refreshSongFiles() {
    songModel_->refreshRows();
    outlineModel_->refreshAllRows();
}

void MyMainViewController::scrollSongTableToRow(std::int64_t row) {
    if (row < 0 || row >= songModel_->rowCount()) return;
    tableView_->scrollTo(songModel_->index(static_cast<int>(row), SongTableModel::Name));
}

} // namespace platter
