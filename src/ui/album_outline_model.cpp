#include "ui/album_outline_model.h"

#include "core/app/app_delegate.h"
#include "core/shuffle/album_selection.h"
#include "core/text/text_search.h"
#include "ui/qt_text.h"
#include "ui/song_table_model.h"
#include "ui/song_file_look.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <unordered_map>

namespace platter {

namespace {

// An index's internal id names its parent: 0 for albums; for discs the album's row + 1 in the
// high bits; for songs the disc's row + 1 in the low bits besides.
constexpr quintptr discSpan = quintptr{1} << 16;

bool isAlbumId(quintptr id) {
    return id == 0;
}
bool isDiscId(quintptr id) {
    return id != 0 && id % discSpan == 0;
}
int albumRowOf(quintptr id) {
    return static_cast<int>(id / discSpan) - 1;
}
int discRowOf(quintptr id) {
    return static_cast<int>(id % discSpan) - 1;
}

// Rows are one line high: a name that holds line breaks reads on one line, and is elided there.
QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (const QChar brk :
         {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        text.replace(brk, QLatin1Char(' '));
    return text;
}

} // namespace

AlbumOutlineModel::AlbumOutlineModel(AppDelegate& app, QObject* parent)
    : QAbstractItemModel(parent), app_(app) {
    app_.albumCovers().listen(this, [this](const MyAlbum& album) { coverArrived(album); });
}

AlbumOutlineModel::~AlbumOutlineModel() {
    app_.albumCovers().stopListening(this);
}

void AlbumOutlineModel::coverArrived(const MyAlbum& album) {
    if (const auto row = indexOf(&album); row.isValid()) emit dataChanged(row, row, {Qt::DecorationRole});
}

QVariant AlbumOutlineModel::coverOf(int row) const {
    const auto* album = albumPtrOfRow(row);
    const auto cover = album ? app_.albumCovers().cover(*album) : nullptr;
    if (!cover) return {};
    if (const auto* pixmap = pixmaps_.object(cover->id)) return *pixmap;
    QPixmap decoded;
    if (!decoded.loadFromData(reinterpret_cast<const uchar*>(cover->image.data()),
                              static_cast<uint>(cover->image.size()), "PNG"))
        return {};
    const auto scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const auto edge = static_cast<int>(coverSize * scale + 0.5);
    auto* shown = new QPixmap(decoded.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    shown->setDevicePixelRatio(scale);
    pixmaps_.insert(cover->id, shown);
    return *shown;
}

QString AlbumOutlineModel::detailText(const Item& item) const {
    if (item.song) return {};
    const auto length = [](const std::vector<SongPtr>& songs) { return SongTableModel::timeText(lengthOf(songs)); };
    if (item.disc) return length(item.disc->songs());
    const auto* list = playlist();
    const auto discs = list ? item.album->discsForPlaylists().find(list->persistentID())
                            : item.album->discsForPlaylists().end();
    if (discs == item.album->discsForPlaylists().end()) return {};
    std::vector<SongPtr> songs;
    for (const auto& disc : discs->second) songs.insert(songs.end(), disc->songs().begin(), disc->songs().end());
    QString text;
    if (const auto years = yearsOf(songs))
        text = years->first == years->last ? QString::number(years->first)
                                           : tr("%1–%2", "a range of years").arg(years->first).arg(years->last);
    return text.isEmpty() ? length(songs) : tr("%1 · %2", "an album's year and length").arg(text, length(songs));
}

const MyPlaylist* AlbumOutlineModel::playlist() const {
    return app_.playlistAt(app_.playlistNumber());
}

const MyDisc* AlbumOutlineModel::discOf(const MyAlbum& album, int row) const {
    const auto* list = playlist();
    if (!list || row < 0) return nullptr;
    const auto discs = album.discsForPlaylists().find(list->persistentID());
    if (discs == album.discsForPlaylists().end() || static_cast<std::size_t>(row) >= discs->second.size())
        return nullptr;
    return discs->second[static_cast<std::size_t>(row)].get();
}

AlbumOutlineModel::Item AlbumOutlineModel::itemAt(const QModelIndex& index) const {
    const auto* list = playlist();
    if (!index.isValid() || !list) return {};
    const auto id = index.internalId();
    Item item{.album = albumOfRow(isAlbumId(id) ? index.row() : albumRowOf(id))};
    if (!item.album || isAlbumId(id)) return item;
    item.disc = discOf(*item.album, isDiscId(id) ? index.row() : discRowOf(id));
    if (!item.disc || isDiscId(id)) return item;
    const auto& songs = item.disc->songs();
    if (static_cast<std::size_t>(index.row()) >= songs.size()) return {};
    item.song = songs[static_cast<std::size_t>(index.row())].get();
    return item;
}

MyAlbum* AlbumOutlineModel::albumAt(const QModelIndex& index) const {
    return itemAt(index).album;
}

MyAlbum* AlbumOutlineModel::albumOfRow(int row) const {
    const auto* album = albumPtrOfRow(row);
    return album ? album->get() : nullptr;
}

const std::shared_ptr<MyAlbum>* AlbumOutlineModel::albumPtrOfRow(int row) const {
    const auto* list = playlist();
    if (!list || row < 0) return nullptr;
    const auto& albums = shown_ ? *shown_ : list->albums();
    return static_cast<std::size_t>(row) < albums.size() ? &albums[static_cast<std::size_t>(row)] : nullptr;
}

QModelIndex AlbumOutlineModel::indexOf(const MyAlbum* album) const {
    for (int row = 0, rows = rowCount(); album && row < rows; ++row)
        if (albumOfRow(row) == album) return index(row, 0);
    return {};
}

QModelIndex AlbumOutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    if (!parent.isValid()) return createIndex(row, column, quintptr{0});
    const auto id = parent.internalId();
    if (isAlbumId(id)) return createIndex(row, column, static_cast<quintptr>(parent.row() + 1) * discSpan);
    if (isDiscId(id)) return createIndex(row, column, id + static_cast<quintptr>(parent.row() + 1));
    return {};
}

QModelIndex AlbumOutlineModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    const auto id = child.internalId();
    if (isAlbumId(id)) return {};
    if (isDiscId(id)) return createIndex(albumRowOf(id), 0, quintptr{0});
    return createIndex(discRowOf(id), 0, (id / discSpan) * discSpan);
}

int AlbumOutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const auto* list = playlist();
    if (!list) return 0;
    if (!parent.isValid()) return static_cast<int>(shown_ ? shown_->size() : list->albums().size());
    const auto item = itemAt(parent);
    if (item.song || !item.album) return 0;
    if (item.disc) return static_cast<int>(item.disc->songs().size());
    // One row per disc number; the playlist's disc list holds a disc for each, empty or not.
    const auto discs = item.album->discsForPlaylists().find(list->persistentID());
    const auto listed = discs == item.album->discsForPlaylists().end() ? 0 : discs->second.size();
    return static_cast<int>(std::min(item.album->discNum().size(), listed));
}

int AlbumOutlineModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool AlbumOutlineModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant AlbumOutlineModel::data(const QModelIndex& index, int role) const {
    const auto item = itemAt(index);
    if (!item.album) return {};
    const auto& album = *item.album;
    const auto column = index.column();
    if (role == Qt::DisplayRole) {
        const auto text = fullText(item, column);
        return text.isNull() ? QVariant() : QVariant(oneLine(text));
    }
    if (role == DetailRole && column == Title) {
        const auto text = detailText(item);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    if (role == Qt::DecorationRole && column == Title && !item.disc) return coverOf(index.row());
    if (role == Qt::CheckStateRole && (flags(index) & Qt::ItemIsUserCheckable)) {
        const bool checked = item.disc
                                 ? isDiscChecked(album, item.disc->discNumber())
                                 : isChecked(album, column == SeparateDiscs ? SplitColumn::SeparateDiscs
                                                                            : SplitColumn::SeparateSongs);
        return checked ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::FontRole && !item.disc) {
        QFont bold;
        bold.setWeight(QFont::DemiBold);
        return bold;
    }
    if (item.song && role == Qt::ForegroundRole) return songFileForeground(*item.song);
    if (item.song && role == Qt::ToolTipRole) {
        if (auto where = songFileToolTip(*item.song); where.isValid()) return where;
    }
    // The whole name, for one that does not fit its column.
    if (role == Qt::ToolTipRole && (column == Title || column == Artist)) {
        const auto text = fullText(item, column);
        return text.isNull() ? QVariant() : QVariant(text);
    }
    if (role == Qt::ForegroundRole && item.disc && !item.song && item.disc->songs().empty())
        return QPalette().brush(QPalette::Disabled, QPalette::Text); // a disc none of whose songs is here
    if (role == Qt::ToolTipRole && (flags(index) & Qt::ItemIsUserCheckable)) {
        if (item.disc) return tr("Shuffle the songs of this disc one by one");
        return column == SeparateDiscs ? tr("Shuffle each disc of this album as a whole")
                                       : tr("Shuffle the songs of this album one by one");
    }
    return {};
}

QString AlbumOutlineModel::fullText(const Item& item, int column) const {
    const auto& album = *item.album;
    if (item.song) {
        if (column == Title)
            return QString::number(item.song->trackNumber()) + QStringLiteral(": ") +
                   qText(item.song->name());
        if (column == Artist) return qText(item.song->artist());
    } else if (item.disc) {
        if (column == Title) return tr("Disc %1").arg(item.disc->discNumber());
    } else {
        if (column == Title) return qText(album.albumName());
        if (column == Artist) return album.compilation() ? tr("Compilation Album") : qText(album.artist());
    }
    return {};
}

Qt::ItemFlags AlbumOutlineModel::flags(const QModelIndex& index) const {
    const auto item = itemAt(index);
    if (!item.album) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (item.song) return f | Qt::ItemNeverHasChildren;
    const bool box = item.disc ? index.column() == SeparateSongs && offersDiscRows(*item.album)
                               : (index.column() == SeparateSongs ||
                                  (index.column() == SeparateDiscs && offersSeparateDiscs(*item.album)));
    return box ? f | Qt::ItemIsUserCheckable : f;
}

bool AlbumOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable)) return false;
    const auto item = itemAt(index);
    const bool wanted = value.toInt() == Qt::Checked;
    if (item.disc) {
        if (wanted == isDiscChecked(*item.album, item.disc->discNumber())) return false;
        toggleDisc(*item.album, item.disc->discNumber());
        emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
        return true;
    }
    const auto column =
        index.column() == SeparateDiscs ? SplitColumn::SeparateDiscs : SplitColumn::SeparateSongs;
    if (wanted == isChecked(*item.album, column)) return false;
    toggleAlbum(*item.album, column);
    albumRowsChanged(index.siblingAtColumn(0));
    return true;
}

void AlbumOutlineModel::refreshAllRows(const QModelIndex& parent) {
    const auto rows = rowCount(parent);
    if (rows == 0) return;
    emit dataChanged(index(0, 0, parent), index(rows - 1, ColumnCount - 1, parent));
    for (int row = 0; row < rows; ++row)
        if (hasChildren(index(row, 0, parent))) refreshAllRows(index(row, 0, parent));
}

void AlbumOutlineModel::albumRowsChanged(const QModelIndex& album) {
    // Both album boxes and every disc row's box may change with the album's setting; the tree's
    // shape does not, so expanded rows stay as they are.
    emit dataChanged(album, album.siblingAtColumn(ColumnCount - 1));
    const auto discs = rowCount(album);
    if (discs > 0) emit dataChanged(index(0, 0, album), index(discs - 1, ColumnCount - 1, album));
}

QVariant AlbumOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Title:
        return tr("Album");
    case Artist:
        return tr("Artist");
    case SeparateDiscs:
        return tr("Split into Discs");
    case SeparateSongs:
        return tr("Split into Songs");
    default:
        return {};
    }
}

void AlbumOutlineModel::reload(const QString& search) {
    // The covers another playlist asked for are no longer wanted.
    if (playlist() != shownPlaylist_) app_.albumCovers().cancelWaiting();
    shownPlaylist_ = playlist();
    beginResetModel();
    query_ = search;
    searchTexts_.clear();
    applySearch();
    endResetModel();
}

void AlbumOutlineModel::setSearch(const QString& query) {
    if (query == query_) return;
    changeShownAlbums(
        [&] {
            query_ = query;
            applySearch();
        },
        QAbstractItemModel::NoLayoutChangeHint);
}

void AlbumOutlineModel::applySearch() {
    const auto* list = playlist();
    const auto& rules = app_.rules();
    const TextSearch search(rules, query_.toStdString());
    if (!list || search.empty()) {
        shown_.reset();
        return;
    }
    prepareSearch();
    shown_.emplace();
    for (const auto& album : list->albums())
        if (const auto text = searchTexts_.find(album.get());
            text != searchTexts_.end() && search.matches(text->second))
            shown_->push_back(album);
}

void AlbumOutlineModel::prepareSearch() {
    const auto* list = playlist();
    const auto& rules = app_.rules();
    if (list && searchTexts_.empty()) {
        for (const auto& album : list->albums()) {
            auto& text = searchTexts_[album.get()];
            addSearchField(rules, text, album->albumName());
            addSearchField(rules, text, album->artist());
            const auto discs = album->discsForPlaylists().find(list->persistentID());
            if (discs == album->discsForPlaylists().end()) continue;
            // An artist the album's songs share is folded once.
            std::string_view artist = album->artist();
            for (const auto& disc : discs->second)
                for (const auto& song : disc->songs()) {
                    addSearchField(rules, text, song->name());
                    if (song->artist() != artist) addSearchField(rules, text, artist = song->artist());
                }
        }
    }
}

void AlbumOutlineModel::changeShownAlbums(const std::function<void()>& change,
                                          QAbstractItemModel::LayoutChangeHint hint) {
    emit layoutAboutToBeChanged({}, hint);
    const auto old = persistentIndexList();
    std::vector<const MyAlbum*> albums;
    albums.reserve(static_cast<std::size_t>(old.size()));
    for (const auto& i : old)
        albums.push_back(albumOfRow(isAlbumId(i.internalId()) ? i.row() : albumRowOf(i.internalId())));
    change();
    std::unordered_map<const MyAlbum*, int> rowNow;
    if (!old.empty())
        for (int row = 0, rows = rowCount(); row < rows; ++row)
            rowNow[albumOfRow(row)] = row;

    // Discs and songs keep their rows under their album; only album rows move.
    QModelIndexList now;
    now.reserve(old.size());
    for (qsizetype k = 0; k < old.size(); ++k) {
        const auto& i = old[k];
        const auto row = rowNow.find(albums[static_cast<std::size_t>(k)]);
        const auto id = i.internalId();
        if (row == rowNow.end())
            now.push_back({});
        else if (isAlbumId(id))
            now.push_back(createIndex(row->second, i.column(), quintptr{0}));
        else
            now.push_back(createIndex(i.row(), i.column(),
                                      static_cast<quintptr>(row->second + 1) * discSpan + id % discSpan));
    }
    changePersistentIndexList(old, now);
    emit layoutChanged({}, hint);
}

bool AlbumOutlineModel::sortByColumn(int column) {
    const auto* list = playlist();
    if (!list || (column != Title && column != Artist)) return false;
    const bool byTitle = column == Title;
    if (byTitle == list->sortAlbum) return false;

    changeShownAlbums(
        [&] {
            app_.sortAlbums(byTitle);
            applySearch();
        },
        QAbstractItemModel::VerticalSortHint);
    return true;
}

} // namespace platter
