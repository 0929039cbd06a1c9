#include "ui/main_view_controller.h"

#include "core/app/app_delegate.h"
#include "ui/album_outline_model.h"
#include "ui/album_row_delegate.h"
#include "ui/song_row_delegate.h"
#include "ui/song_table_model.h"
#include "ui/theme.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>

namespace platter {

namespace {

// The outline's check boxes from the keyboard: Left and Right step between a row's boxes, Space
// toggles the focused one (or the row's first), taking Space from Play/Pause on a row that has a
// box. A song row leaves Space to Play/Pause.
class Outline final : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride && isSpace(*static_cast<QKeyEvent*>(event)) &&
            boxOf(currentIndex()).isValid()) {
            event->accept();
            return true;
        }
        return QTreeView::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (const auto box = boxOf(currentIndex()); isSpace(*event) && box.isValid()) {
            setCurrentIndex(box);
            const bool on = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            model()->setData(box, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return;
        }
        QTreeView::keyPressEvent(event);
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const auto at = currentIndex();
        if (at.isValid() && (action == MoveRight || action == MoveLeft)) {
            const bool right = (action == MoveRight) != (layoutDirection() == Qt::RightToLeft);
            // Right opens a closed row first, as it always does.
            const bool opens = right && at.column() < AlbumOutlineModel::SeparateDiscs &&
                               model()->hasChildren(at.siblingAtColumn(0)) &&
                               !isExpanded(at.siblingAtColumn(0));
            if (!opens) {
                const int step = right ? 1 : -1;
                for (int c = right ? std::max<int>(at.column() + 1, AlbumOutlineModel::SeparateDiscs)
                                   : at.column() - 1;
                     c >= AlbumOutlineModel::SeparateDiscs && c < AlbumOutlineModel::ColumnCount; c += step)
                    if (checkable(at.siblingAtColumn(c))) return at.siblingAtColumn(c);
                if (!right && at.column() >= AlbumOutlineModel::SeparateDiscs) return at.siblingAtColumn(0);
            }
        }
        return QTreeView::moveCursor(action, modifiers);
    }

private:
    static bool isSpace(const QKeyEvent& key) {
        return key.key() == Qt::Key_Space && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }
    static bool checkable(const QModelIndex& index) {
        return index.isValid() && (index.flags() & Qt::ItemIsUserCheckable);
    }
    // The box Space toggles on `index`'s row: its own, or the row's first.
    static QModelIndex boxOf(const QModelIndex& index) {
        if (checkable(index)) return index;
        for (int c = AlbumOutlineModel::SeparateDiscs; index.isValid() && c < AlbumOutlineModel::ColumnCount;
             ++c)
            if (checkable(index.siblingAtColumn(c))) return index.siblingAtColumn(c);
        return {};
    }
};

// The song table: keys 0 to 5 rate the current row's song.
class SongTable final : public QTableView {
public:
    using QTableView::QTableView;
    std::function<void(int row, int stars)> rate;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_5 && currentIndex().isValid() && rate) {
            rate(currentIndex().row(), event->key() - Qt::Key_0);
            return;
        }
        QTableView::keyPressEvent(event);
    }
};

// The widths the song table's columns start at; 0 stretches.
constexpr std::array<int, SongTableModel::ColumnCount> defaultWidths{28, 0, 220, 180, 60, 60, 60, 120, 60, 100, 96, 100};

bool shownByDefault(int column) {
    return column <= SongTableModel::Time;
}

} // namespace

MyMainViewController::MyMainViewController(AppDelegate& app, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), outlineModel_(new AlbumOutlineModel(app, this)),
      songModel_(new SongTableModel(app, QIcon(QStringLiteral(":/speakerPlay.png")),
                                    QIcon(QStringLiteral(":/speakerPause.png")), this)),
      pages_(new QStackedLayout), empty_(new QWidget(this)), outlineView_(new Outline(this)),
      tableView_(new SongTable(this)), rowDelegate_(new SongRowDelegate(this)),
      playNext_(new QAction(tr("Play Next"), this)), search_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("mainPanel"));
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(tr("Search Albums and Songs"));
    search_->setAccessibleName(tr("Search"));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, this, &MyMainViewController::search);
    // The texts are folded as the field takes the focus, so that the first key is as quick as
    // the others.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != search_) return;
        if (shownView() == tableView_)
            songModel_->prepareSearch();
        else if (shownView() == outlineView_)
            outlineModel_->prepareSearch();
    });
    // Escape clears the field; in an empty one it goes back to the rows.
    auto* clear = new QAction(search_);
    clear->setShortcut(QKeySequence(Qt::Key_Escape));
    clear->setShortcutContext(Qt::WidgetShortcut);
    search_->addAction(clear);
    connect(clear, &QAction::triggered, this, [this] {
        if (!search_->text().isEmpty())
            search_->clear();
        else if (auto* shown = shownView())
            shown->setFocus();
    });
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        if (search_->isHidden()) return;
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });
    outlineView_->setObjectName(QStringLiteral("outline"));
    outlineView_->setModel(outlineModel_);
    outlineView_->setFrameShape(QFrame::NoFrame);
    // Album rows are taller than disc and song rows, for their covers.
    outlineView_->setUniformRowHeights(false);
    outlineView_->setItemDelegate(new AlbumRowDelegate(outlineView_));
    outlineView_->setIconSize({AlbumOutlineModel::coverSize, AlbumOutlineModel::coverSize});
    outlineView_->setWordWrap(false);
    outlineView_->setTextElideMode(Qt::ElideRight);
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
    // The units' bands alternate instead of the rows.
    tableView_->setItemDelegate(rowDelegate_);
    tableView_->setShowGrid(false);
    tableView_->setWordWrap(false);
    // Tab leaves the table for the next control rather than walking its cells.
    tableView_->setTabKeyNavigation(false);
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
    tableHeader->setSectionResizeMode(SongTableModel::Audio, QHeaderView::Fixed);
    tableHeader->setSectionsMovable(true);
    tableHeader->setSectionsClickable(true);
    for (int c = 0; c < SongTableModel::ColumnCount; ++c) {
        if (const int width = defaultWidths[static_cast<std::size_t>(c)]; width > 0) tableHeader->resizeSection(c, width);
        tableHeader->setSectionHidden(c, !shownByDefault(c));
    }
    connect(tableHeader, &QHeaderView::sectionClicked, this, &MyMainViewController::songHeaderClicked);
    tableHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tableHeader, &QWidget::customContextMenuRequested, this, [this, tableHeader](const QPoint& at) {
        QMenu menu;
        fillColumnsMenu(menu);
        menu.exec(tableHeader->mapToGlobal(at));
    });
    static_cast<SongTable*>(tableView_)->rate = [this](int row, int stars) {
        if (const auto* song = songModel_->songAt(row)) ourDelegate_.rate(*song, stars * 20);
    };
    connect(rowDelegate_, &SongRowDelegate::starClicked, this, [this](const QModelIndex& index, int star) {
        if (const auto* song = songModel_->songAt(index.row()))
            ourDelegate_.rate(*song,
                              SongRowDelegate::ratingOfClick(index.data(SongTableModel::RatingRole).toInt(), star));
    });

    connect(tableView_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == SongTableModel::Audio && index.row() == songModel_->markerRow()) playPause();
    });
    connect(tableView_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const auto song = songModel_->orderIndex(index.row()); song >= 0)
            ourDelegate_.playFromSong(static_cast<std::size_t>(song));
    });
    playNext_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    playNext_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    playNext_->setToolTip(tr("Play this song's album, disc or song after the one that plays"));
    tableView_->addAction(playNext_);
    connect(playNext_, &QAction::triggered, this, &MyMainViewController::playNext);
    tableView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tableView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const auto index = tableView_->indexAt(at);
        if (!index.isValid()) return;
        tableView_->setCurrentIndex(index);
        QMenu menu;
        menu.addAction(playNext_);
        menu.exec(tableView_->viewport()->mapToGlobal(at));
    });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 6);
    bar->addWidget(search_);
    column->addLayout(bar);
    column->addLayout(pages_, 1);
    pages_->addWidget(empty_);
    pages_->addWidget(outlineView_);
    pages_->addWidget(tableView_);
    pages_->setCurrentWidget(empty_);
    search_->hide();
    playNext_->setEnabled(false);
}

MyMainViewController::~MyMainViewController() {
    // The focus leaves the panel's children as they go, after this part of the panel is gone.
    disconnect(qApp, nullptr, this, nullptr);
}

QWidget* MyMainViewController::shownView() const {
    auto* shown = pages_->currentWidget();
    return shown == empty_ ? nullptr : shown;
}

void MyMainViewController::refreshView() {
    const auto* playlist = ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    if (!playlist || ourDelegate_.playlistNumber() != shownPlaylist_) {
        const QSignalBlocker quiet(search_);
        search_->clear();
        // Neither page goes on showing a search of another playlist.
        if (songModel_->searching()) songModel_->reload();
        if (outlineModel_->searching()) outlineModel_->reload();
        songBefore_ = -1;
        outlineBefore_ = {};
        expandedBefore_.clear();
    }
    shownPlaylist_ = playlist ? ourDelegate_.playlistNumber() : std::nullopt;
    const auto query = search_->text();
    if (!playlist) {
        pages_->setCurrentWidget(empty_);
        outlineModel_->reload();
        songModel_->reload();
    } else if (!ourDelegate_.configuring()) {
        pages_->setCurrentWidget(tableView_);
        songModel_->reload(query);
    } else {
        pages_->setCurrentWidget(outlineView_);
        outlineModel_->reload(query);
        showSortIndicator();
    }
    search_->setVisible(playlist != nullptr);
    playNext_->setEnabled(pages_->currentWidget() == tableView_);
}

void MyMainViewController::search(const QString& text) {
    auto* shown = shownView();
    if (!shown) return;
    const auto searching = [&] {
        return shown == tableView_ ? songModel_->searching() : outlineModel_->searching();
    };
    const bool before = searching();
    if (!before) rememberPlace();
    if (shown == tableView_)
        songModel_->setSearch(text);
    else
        outlineModel_->setSearch(text);
    if (before && !searching()) restorePlace();
}

void MyMainViewController::rememberPlace() {
    songBefore_ = songModel_->orderIndex(tableView_->currentIndex().row());
    outlineBefore_ = {};
    expandedBefore_.clear();
    for (int row = 0, rows = outlineModel_->rowCount(); row < rows; ++row)
        if (const auto album = outlineModel_->index(row, 0); outlineView_->isExpanded(album))
            expandedBefore_.push_back(outlineModel_->albumAt(album));
    auto at = outlineView_->currentIndex();
    if (!at.isValid()) return;
    outlineBefore_.column = at.column();
    std::vector<int> rows;
    for (; at.parent().isValid(); at = at.parent())
        rows.insert(rows.begin(), at.row());
    outlineBefore_.album = outlineModel_->albumAt(at);
    if (!rows.empty()) outlineBefore_.disc = rows[0];
    if (rows.size() > 1) outlineBefore_.song = rows[1];
}

void MyMainViewController::restorePlace() {
    if (shownView() == tableView_) {
        const auto row = songModel_->rowOf(songBefore_);
        if (!tableView_->currentIndex().isValid() && row >= 0)
            tableView_->setCurrentIndex(songModel_->index(row, SongTableModel::Name));
        if (tableView_->currentIndex().isValid())
            tableView_->scrollTo(tableView_->currentIndex(), QAbstractItemView::PositionAtCenter);
        return;
    }
    // What was open before the search opens again; what the user opened since stays open.
    for (const auto* album : expandedBefore_)
        if (const auto at = outlineModel_->indexOf(album); at.isValid()) outlineView_->expand(at);
    if (!outlineView_->currentIndex().isValid()) {
        auto at = outlineModel_->indexOf(outlineBefore_.album);
        for (const int row : {outlineBefore_.disc, outlineBefore_.song})
            if (row >= 0 && at.isValid()) at = outlineModel_->index(row, 0, at);
        if (at.isValid()) outlineView_->setCurrentIndex(at.siblingAtColumn(outlineBefore_.column));
    }
    if (outlineView_->currentIndex().isValid())
        outlineView_->scrollTo(outlineView_->currentIndex(), QAbstractItemView::PositionAtCenter);
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

void MyMainViewController::songHeaderClicked(int column) {
    if (column != SongTableModel::Audio) {
        if (songModel_->sortColumn() != column)
            songModel_->sort(column, Qt::AscendingOrder);
        else if (songModel_->sortOrder() == Qt::AscendingOrder)
            songModel_->sort(column, Qt::DescendingOrder);
        else
            songModel_->sort(-1);
        // The selected song, else the marker, stays in view where the rows moved.
        auto at = tableView_->currentIndex();
        if (!at.isValid() && songModel_->markerRow() >= 0) at = songModel_->index(songModel_->markerRow(), 0);
        if (at.isValid()) tableView_->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }
    showSongSortIndicator();
}

void MyMainViewController::showSongSortIndicator() {
    auto* header = tableView_->horizontalHeader();
    const QSignalBlocker quiet(header);
    header->setSortIndicatorShown(songModel_->sortColumn() >= 0);
    header->setSortIndicator(songModel_->sortColumn(), songModel_->sortOrder());
}

void MyMainViewController::fillColumnsMenu(QMenu& menu) {
    auto* header = tableView_->horizontalHeader();
    // In the order they show, the play marker's column aside.
    for (int visual = 0; visual < SongTableModel::ColumnCount; ++visual) {
        const int column = header->logicalIndex(visual);
        if (column == SongTableModel::Audio) continue;
        auto* action = menu.addAction(songModel_->headerData(column, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!header->isSectionHidden(column));
        action->setObjectName(SongTableModel::columnKey(column));
        connect(action, &QAction::toggled, header, [header, column](bool on) {
            header->setSectionHidden(column, !on);
            if (on && header->sectionSize(column) < 20)
                header->resizeSection(column, std::max(20, defaultWidths[static_cast<std::size_t>(column)]));
        });
    }
}

QStringList MyMainViewController::songColumnLayout() const {
    const auto* header = tableView_->horizontalHeader();
    QStringList kept;
    for (int visual = 0; visual < SongTableModel::ColumnCount; ++visual) {
        const int column = header->logicalIndex(visual);
        auto entry = QStringLiteral("%1:%2").arg(SongTableModel::columnKey(column)).arg(header->sectionSize(column));
        if (header->isSectionHidden(column)) entry += QStringLiteral(":hidden");
        kept.push_back(entry);
    }
    return kept;
}

void MyMainViewController::setSongColumnLayout(const QStringList& kept) {
    auto* header = tableView_->horizontalHeader();
    int place = 0;
    std::vector<bool> seen(SongTableModel::ColumnCount, false);
    // Each entry reads "name:width" or "name:width:hidden"; what does not read so is passed over,
    // and columns it does not name stay as they were, after those it names.
    for (const auto& entry : kept) {
        const auto parts = entry.split(QLatin1Char(':'));
        const int column = parts.isEmpty() ? -1 : SongTableModel::columnOfKey(parts[0]);
        if (column < 0 || seen[static_cast<std::size_t>(column)] || parts.size() > 3) continue;
        if (parts.size() == 3 && parts[2] != QLatin1String("hidden")) continue;
        seen[static_cast<std::size_t>(column)] = true;
        header->moveSection(header->visualIndex(column), place++);
        bool ok = false;
        const int width = parts.size() > 1 ? parts[1].toInt(&ok) : 0;
        if (ok && width >= 20 && width <= 4000 && column != SongTableModel::Audio) header->resizeSection(column, width);
        header->setSectionHidden(column, column != SongTableModel::Audio && parts.size() == 3);
    }
}

void MyMainViewController::refreshStatistics() {
    songModel_->refreshStatistics();
}

void MyMainViewController::playPause() {
    ourDelegate_.playPause();
}

void MyMainViewController::playNext() {
    const auto song = songModel_->orderIndex(tableView_->currentIndex().row());
    if (song < 0) return;
    ourDelegate_.playNext(static_cast<std::size_t>(song));
    // The moved unit now follows the playing one: show where it went.
    const auto* playlist = ourDelegate_.playlistAt(ourDelegate_.playlistNumber());
    if (const auto playing = playlist ? playlist->unitAt(playlist->playingNum) : std::nullopt; playing) {
        // The unit's first row the search shows: the one chosen, at the latest.
        if (const auto row = songModel_->rowFrom(playing->end); row >= 0) {
            const auto at = songModel_->index(row, SongTableModel::Name);
            tableView_->setCurrentIndex(at);
            tableView_->scrollTo(at);
        }
    }
}

void MyMainViewController::setLook(const Theme& theme) {
    const auto colour = [&](const char* name) { return theme.colours.at(QString::fromLatin1(name)); };
    rowDelegate_->rule = colour("border");
    songModel_->setBands({colour("base"), colour("alternateBase"), colour("playingUnit")});
}

void MyMainViewController::reloadSongRows() {
    songModel_->refreshRows();
}

void MyMainViewController::refreshSongFiles() {
    songModel_->refreshRows();
    outlineModel_->refreshAllRows();
}

void MyMainViewController::scrollSongTableToRow(std::int64_t row) {
    // `row` is the order's; a search may hide it.
    if (const auto shown = songModel_->rowOf(row); shown >= 0)
        tableView_->scrollTo(songModel_->index(shown, SongTableModel::Name));
}

} // namespace platter
