#pragma once

// The configuration outline of the selected playlist: its albums, each album's discs as this
// playlist holds them, and each disc's songs. Two check-box columns choose the shuffle grain of
// an album (whole, split into discs, split into songs) and of a disc (whole or split into songs).
// The model reads the application controller on every request and keeps no state of its own, so
// it is reset whenever the selection or the configuring state changes. A search shows only the
// albums it matches, each whole: the boxes of a disc choose for all its songs, so they show.

#include <QAbstractItemModel>
#include <QCache>
#include <QPixmap>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platter {

class AppDelegate;
class MyAlbum;
class MyDisc;
class MyPlaylist;
class MySong;

class AlbumOutlineModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    // The columns "title", "artist", "separateDiscs" and "separateSongs".
    enum Column { Title, Artist, SeparateDiscs, SeparateSongs, ColumnCount };

    // An album's year or years and length, a disc's length: dimmed beside the name.
    static constexpr int DetailRole = Qt::UserRole + 1;
    // An album's cover, in device-independent pixels, square; Qt::DecorationRole holds it
    // once it is here, and nothing while it is not (the delegate paints a placeholder).
    static constexpr int coverSize = 36;

    explicit AlbumOutlineModel(AppDelegate& app, QObject* parent = nullptr);
    ~AlbumOutlineModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A click on a check box: changes the album's setting as the outline's transitions say.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Everything is read afresh: a new selection, order or configuring state; the albums
    // shown are those `search` matches.
    void reload(const QString& search = {});
    // Every row below `parent` redraws; the tree keeps its shape and what is expanded.
    void refreshAllRows(const QModelIndex& parent = {});
    // A click on the "title" or "artist" header: the albums are sorted by that column, ascending,
    // unless they already are. Expanded rows stay expanded. True when the order changed.
    bool sortByColumn(int column);

    MyAlbum* albumAt(const QModelIndex& index) const;
    // Shows only the albums whose name or artist, or the name or artist of one of whose songs
    // in the playlist, holds every word of `query`; an empty query shows every album. Rows that
    // stay keep their selection and what is expanded.
    void setSearch(const QString& query);
    bool searching() const { return shown_.has_value(); }
    // Folds the albums' texts ahead of the first keystroke, unless they are folded already.
    void prepareSearch();
    // The row of `album`, or an invalid index while it does not show.
    QModelIndex indexOf(const MyAlbum* album) const;

private:
    struct Item {
        MyAlbum* album = nullptr;
        const MyDisc* disc = nullptr;
        const MySong* song = nullptr;
    };
    const MyPlaylist* playlist() const;
    Item itemAt(const QModelIndex& index) const;
    QString fullText(const Item& item, int column) const;
    const MyDisc* discOf(const MyAlbum& album, int row) const;
    void albumRowsChanged(const QModelIndex& album);
    MyAlbum* albumOfRow(int row) const;
    const std::shared_ptr<MyAlbum>* albumPtrOfRow(int row) const;
    QString detailText(const Item& item) const;
    QVariant coverOf(int row) const;
    void coverArrived(const MyAlbum& album);
    // The albums the search shows, in the playlist's order.
    void applySearch();
    // Runs `change`, which may move, hide or show albums, with the persistent indexes following
    // their items; those of an album no longer shown become invalid.
    void changeShownAlbums(const std::function<void()>& change, QAbstractItemModel::LayoutChangeHint hint);

    AppDelegate& app_;
    const MyPlaylist* shownPlaylist_ = nullptr; // whose covers were asked for
    // Covers decoded at the screen's scale, by their image's id: only the rows on screen
    // need theirs.
    mutable QCache<quint64, QPixmap> pixmaps_{256};
    QString query_;
    std::optional<std::vector<std::shared_ptr<MyAlbum>>> shown_;
    // Each album's folded name, artist and songs: made at the first search after a reload.
    std::unordered_map<const MyAlbum*, std::string> searchTexts_;
};

} // namespace platter
