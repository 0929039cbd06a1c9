#include "ui/song_table_model.h"

#include "core/app/app_delegate.h"
#include "ui/qt_text.h"
#include "ui/song_file_look.h"

namespace platter {

SongTableModel::SongTableModel(const AppDelegate& app, QIcon playImage, QIcon pauseImage, QObject* parent)
    : QAbstractTableModel(parent), app_(app), playImage_(std::move(playImage)),
      pauseImage_(std::move(pauseImage)) {}

const MyPlaylist* SongTableModel::playlist() const {
    return app_.playlistAt(app_.playlistNumber());
}

int SongTableModel::rowCount(const QModelIndex& parent) const {
    const auto* list = playlist();
    return parent.isValid() || !list ? 0 : static_cast<int>(list->shuffledSongs.size());
}

int SongTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int SongTableModel::markerRow() const {
    const auto* list = playlist();
    if (!list || list->playingNum < 0 ||
        static_cast<std::size_t>(list->playingNum) >= list->shuffledSongs.size())
        return -1;
    return static_cast<int>(list->playingNum);
}

QString SongTableModel::trackNumText(std::int64_t trackNumber, std::optional<std::int64_t> trackCount) {
    return trackCount ? QStringLiteral("%1/%2").arg(trackNumber).arg(*trackCount)
                      : QString::number(trackNumber);
}

QVariant SongTableModel::data(const QModelIndex& index, int role) const {
    const auto* list = playlist();
    if (!list || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const auto& song = *list->shuffledSongs[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Name:
            return qText(song.name());
        case Album:
            return qText(song.album());
        case Artist:
            return qText(song.artist());
        case TrackNum:
            return trackNumText(song.trackNumber(), song.dict().node.integerFor("Track Count"));
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == Audio && index.row() == markerRow()) {
        const bool thisPlays = app_.playinglistNumber() && app_.playinglistNumber() == app_.playlistNumber();
        return thisPlays ? playImage_ : pauseImage_;
    }
    if (role == Qt::ToolTipRole && index.column() == Audio && index.row() == markerRow())
        return app_.playinglistNumber() ? QStringLiteral("Pause") : QStringLiteral("Play from here");
    if (role == Qt::ToolTipRole) return songFileToolTip(song);
    if (role == Qt::ForegroundRole) return songFileForeground(song);
    if (role == Qt::TextAlignmentRole && index.column() == TrackNum)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant SongTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Name:
        return QStringLiteral("Name");
    case Album:
        return QStringLiteral("Album");
    case Artist:
        return QStringLiteral("Artist");
    case TrackNum:
        return QStringLiteral("Track");
    default:
        return {};
    }
}

void SongTableModel::reload() {
    beginResetModel();
    endResetModel();
}

void SongTableModel::refreshRows() {
    if (const auto rows = rowCount(); rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
}

} // namespace platter
