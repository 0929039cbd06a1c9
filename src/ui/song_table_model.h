#pragma once

// The shuffled songs of the selected playlist, one row per song of its play order, with a
// marker on the row of the song that plays or would play next. Rows are read from the
// application controller when drawn, so a table of any length costs only its visible rows.

#include <QAbstractTableModel>
#include <QIcon>
#include <cstdint>
#include <optional>

namespace platter {

class AppDelegate;
class MyPlaylist;

class SongTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns "audio", "name", "album", "artist" and "trackNum".
    enum Column { Audio, Name, Album, Artist, TrackNum, ColumnCount };

    // `playImage` marks the row while its playlist plays, `pauseImage` otherwise.
    SongTableModel(const AppDelegate& app, QIcon playImage, QIcon pauseImage, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A new order or selection: every row is read afresh.
    void reload();
    // The same order, another marker or play state: the rows are redrawn where they are.
    void refreshRows();
    // The row of the playing-row marker, or -1 when none shows.
    int markerRow() const;
    // The text of the "trackNum" column: "3/12" with a track count, else the bare number.
    static QString trackNumText(std::int64_t trackNumber, std::optional<std::int64_t> trackCount);

private:
    const MyPlaylist* playlist() const;

    const AppDelegate& app_;
    QIcon playImage_;
    QIcon pauseImage_;
};

} // namespace platter
