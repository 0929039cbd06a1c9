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

QString SongTableModel::unitText(int row) const {
    const auto* list = playlist();
    const auto place = list ? list->unitAt(row) : std::nullopt;
    if (!place) return {};
    const auto& unit = *list->units[place->unit];
    QString kind;
    switch (unit.kind()) {
    case UnitKind::Album:
        kind = tr("Whole album");
        break;
    case UnitKind::Disc:
        kind = tr("Disc %1 of %2").arg(unit.disc()).arg(qText(unit.songs().front()->album()));
        break;
    case UnitKind::Song:
        kind = tr("Song");
        break;
    }
    return kind + QLatin1Char('\n') + tr("unit %1 of %2").arg(place->unit + 1).arg(list->units.size());
}

void SongTableModel::setBands(const Bands& bands) {
    bands_ = bands;
    refreshRows();
}

QVariant SongTableModel::data(const QModelIndex& index, int role) const {
    const auto* list = playlist();
    if (!list || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const auto& song = *list->shuffledSongs[static_cast<std::size_t>(index.row())];
    if (role == Qt::BackgroundRole || role == UnitStartRole) {
        const auto place = list->unitAt(index.row());
        if (!place) return {};
        if (role == UnitStartRole) return place->first == index.row() && place->unit > 0;
        const auto marker = markerRow();
        if (marker >= place->first && marker < place->end && bands_.marked.isValid()) return bands_.marked;
        const auto& band = place->unit % 2 ? bands_.odd : bands_.even;
        return band.isValid() ? QVariant(band) : QVariant();
    }
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
        return app_.playinglistNumber() ? tr("Pause") : tr("Play from here");
    if (role == Qt::ToolTipRole) {
        auto tip = unitText(index.row());
        if (const auto file = songFileToolTip(song); file.isValid())
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + file.toString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role == Qt::ForegroundRole) return songFileForeground(song);
    if (role == Qt::TextAlignmentRole && index.column() == TrackNum)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant SongTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Name:
        return tr("Name");
    case Album:
        return tr("Album");
    case Artist:
        return tr("Artist");
    case TrackNum:
        return tr("Track");
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
