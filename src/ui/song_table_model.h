#pragma once

// The shuffled songs of the selected playlist, one row per song of its play order, with a
// marker on the row of the song that plays or would play next. Each unit of the order reads as
// one block: its rows share a band that alternates from unit to unit, the unit at the marker
// has a band of its own, and the view rules a line above each unit's first row. Rows are read
// from the application controller when drawn, so a table of any length costs only its visible
// rows. A search shows only the songs it matches, in the order's order; rows then are not the
// order's indexes, and orderIndex() and rowOf() translate. A click on a header sorts the rows by
// that column instead of the play order; the marker and the units' bands stay with their songs.

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platter {

class AppDelegate;
class MyPlaylist;
class MySong;

class SongTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns "audio", "name", "album", "artist" and "trackNum", then the song's length,
    // year, genre and statistics.
    enum Column { Audio, Name, Album, Artist, TrackNum, Time, Year, Genre, Plays, LastPlayed, Rating, DateAdded,
                  ColumnCount };
    // True on the first row of every unit but the first: the view rules a line above it.
    static constexpr int UnitStartRole = Qt::UserRole + 1;
    // The row's rating, 0 (none) to 100, on the Rating column.
    static constexpr int RatingRole = Qt::UserRole + 2;
    // The column's name where the layout is kept ("lastPlayed"), and back; -1 for none.
    static QString columnKey(int column);
    static int columnOfKey(const QString& key);
    // The bands of alternate units and of the unit at the marker.
    struct Bands {
        QColor even, odd, marked;
    };

    // `playImage` marks the row while its playlist plays, `pauseImage` otherwise.
    SongTableModel(const AppDelegate& app, QIcon playImage, QIcon pauseImage, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A new order or selection: every row is read afresh, and shows what `search` matches.
    void reload(const QString& search = {});
    // The same order, another marker or play state: the rows are redrawn where they are.
    void refreshRows();
    // The row of the playing-row marker, or -1 when none shows.
    int markerRow() const;
    // Shows only the songs whose name, album or artist holds every word of `query`; an empty
    // query shows every song.
    void setSearch(const QString& query);
    bool searching() const { return searching_; }
    // Folds the songs' texts ahead of the first keystroke, unless they are folded already.
    void prepareSearch();
    // The index in the order of the song at `row`, or -1 for no row.
    std::int64_t orderIndex(int row) const;
    // The row of the order's song at `index`, or -1 while the search hides it.
    int rowOf(std::int64_t index) const;
    // The first row at or after the order's `index`, or -1 when none follows.
    int rowFrom(std::int64_t index) const;
    // Sorts the rows by `column` (-1: back to the play order). The selection stays with its songs.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    // The statistics' columns redraw.
    void refreshStatistics();
    // The song of `row`, or null.
    const MySong* songAt(int row) const;
    // The text of the "trackNum" column: "3/12" with a track count, else the bare number.
    static QString trackNumText(std::int64_t trackNumber, std::optional<std::int64_t> trackCount);
    // A length as "3:07", or "1:02:03" from an hour on.
    static QString timeText(double seconds);
    void setBands(const Bands& bands);

private:
    const MyPlaylist* playlist() const;
    // "Disc 2 of Three Movements", "Whole album" or "Song", and "unit 4 of 17": what the row's
    // unit is and where it stands; empty outside the order.
    QString unitText(std::int64_t index) const;
    // The rows: the order's indexes the search shows, in the sorted column's order.
    void applySearch();
    void sortRows(std::vector<std::int64_t>& rows) const;
    // Runs `change` as a new layout: the persistent indexes follow their songs.
    template <class Change> void relayout(Change&& change);

    const AppDelegate& app_;
    QIcon playImage_;
    QIcon pauseImage_;
    Bands bands_;
    QString query_;
    // The order's indexes that show, row by row; none while every song shows in play order.
    std::optional<std::vector<std::int64_t>> shown_;
    // The row of each index of the order, -1 for none; empty with shown_.
    std::vector<int> rowOfIndex_;
    bool searching_ = false;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    // Each song's folded name, album and artist by its index in the order: made at the first
    // search after a reload, not at every keystroke.
    std::vector<std::string> searchTexts_;
};

} // namespace platter
